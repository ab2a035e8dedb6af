// Reading pictures: markers, metadata, the lossless transcode and the
// decoders behind re-encoding.
#include "Codecs.h"
#include "JpegInfo.h"
#include "Picture.h"
#include "PictureRows.h"
#include "RowReducer.h"
#include "TestPictures.h"

#include <gtest/gtest.h>

using namespace testpictures;

namespace {

const Colour kOrange{230, 120, 30};

Bytes joined(const Bytes &data, const std::vector<std::pair<std::size_t, std::size_t>> &ranges)
{
    Bytes out;
    for (const auto &[from, to] : ranges)
        out.insert(out.end(), data.begin() + std::ptrdiff_t(from), data.begin() + std::ptrdiff_t(to));
    return out;
}

} // namespace

TEST(JpegMarkers, DamagedFilesAreRefusedWithAReason)
{
    const Bytes good = makeJpeg(64, 64, kOrange);
    for (const Bytes &cut : {Bytes(good.begin(), good.end() - 200), Bytes(good.begin(), good.begin() + 30)}) {
        const auto info = parseJpeg(cut);
        ASSERT_FALSE(info);
        EXPECT_NE(info.problem().reason.find("truncated"), std::string::npos);
    }
    EXPECT_FALSE(parseJpeg(Bytes{0xFF, 0xD8, 0xFF, 0xD9}));

    // Every prefix and every single damaged byte is answered without a crash.
    for (std::size_t length = 0; length < good.size(); length += 7)
        parseJpeg(Bytes(good.begin(), good.begin() + std::ptrdiff_t(length)));
    for (std::size_t at = 0; at < 400 && at < good.size(); ++at) {
        Bytes damaged = good;
        damaged[at] ^= 0xA5;
        if (const auto info = probePictureBytes(damaged))
            jpegRangesWithoutMetadata(damaged, info->jpeg);
    }
}

TEST(JpegMetadata, LeftOutWithoutTouchingThePicture)
{
    const Bytes plain = makeJpeg(40, 30, kOrange);
    const Bytes tagged = withExif(plain, 6);
    const auto info = parseJpeg(tagged);
    ASSERT_TRUE(info);

    const Bytes stripped = joined(tagged, jpegRangesWithoutMetadata(tagged, *info));
    // The JFIF segment of the plain file goes too; nothing else changes.
    const std::size_t jfif = std::size_t(plain[4] << 8 | plain[5]) + 2;
    Bytes expected(plain.begin(), plain.begin() + 2);
    expected.insert(expected.end(), plain.begin() + 2 + std::ptrdiff_t(jfif), plain.end());
    EXPECT_EQ(stripped, expected);

    // Trailing data after the end-of-image marker is left out as well.
    Bytes trailer = tagged;
    trailer.insert(trailer.end(), {'t', 'r', 'a', 'i', 'l'});
    const auto withTrailer = parseJpeg(trailer);
    ASSERT_TRUE(withTrailer);
    EXPECT_EQ(joined(trailer, jpegRangesWithoutMetadata(trailer, *withTrailer)), expected);
}

TEST(JpegTranscode, ProgressiveAndArithmeticBecomeBaselineWithIdenticalPixels)
{
    for (JpegKind kind : {JpegKind::Progressive, JpegKind::Arithmetic}) {
        const Bytes source = makeJpeg(123, 77, kOrange, kind, Chroma::S444);
        const auto baseline = transcodeToBaseline(source);
        ASSERT_TRUE(baseline);
        const auto info = parseJpeg(*baseline);
        ASSERT_TRUE(info) << info.problem().reason;
        EXPECT_TRUE(info->playerSafe());

        const Bytes reference = makeJpeg(123, 77, kOrange, JpegKind::Baseline, Chroma::S444);
        const auto decoded = shrinkJpeg(*baseline, *info, 123, 77);
        ASSERT_TRUE(decoded);
        EXPECT_EQ(decoded->rgb, shrinkJpeg(reference, *parseJpeg(reference), 123, 77)->rgb);
        EXPECT_EQ(decoded->width, 123);
    }
}

TEST(JpegDecode, ScaledDecodeNeverGoesBelowTheShownSize)
{
    const Bytes jpeg = makeJpeg(4000, 3000, kOrange);
    const auto info = parseJpeg(jpeg);
    ASSERT_TRUE(info);
    EXPECT_EQ(jpegScaleEighths(*info, 1440, 1080), 3);   // 1500 x 1125 still covers 1440 x 1080
    EXPECT_EQ(jpegScaleEighths(*info, 1500, 1126), 4);
    const auto raster = shrinkJpeg(jpeg, *info, 1440, 1080);
    ASSERT_TRUE(raster);
    EXPECT_EQ(raster->width, 1440);
    EXPECT_EQ(raster->height, 1080);
    EXPECT_NEAR(raster->rgb[raster->rgb.size() / 2], kOrange.r, 12);
}

TEST(RowReducer, AveragesTheAreaEachPixelCoversRowByRow)
{
    // Two rows of 4 pixels: the left half one colour, the right half another.
    const std::uint8_t row[] = {200, 50, 0, 200, 50, 0, 100, 50, 255, 100, 50, 255};
    auto shrink = [&](int width, int height) {
        RowReducer reducer(4, 2, width, height);
        reducer.addRow(row);
        reducer.addRow(row);
        return reducer.take().rgb;
    };
    EXPECT_EQ(shrink(2, 1), (std::vector<std::uint8_t>{200, 50, 0, 100, 50, 255}));
    std::vector<std::uint8_t> same(row, row + 12);
    same.insert(same.end(), row, row + 12);
    EXPECT_EQ(shrink(4, 2), same);
    const auto odd = shrink(3, 1);   // the middle pixel straddles both halves
    EXPECT_EQ(odd[3], 150);
    EXPECT_EQ(odd[5], 128);

    // A part of a row, and black rows: 3 of 4 source pixels are black.
    RowReducer partial(4, 4, 1, 1);
    partial.addBlackRows(2);
    partial.addRow(row + 6, 2, 2);
    partial.addBlackRows(5);
    EXPECT_EQ(partial.rowsAdded(), 4);
    EXPECT_EQ(partial.take().rgb, (std::vector<std::uint8_t>{13, 6, 32}));
}

// PNG on black and a GIF's first frame are read back through whole slide shows.
TEST(OtherFormats, DamagedPngAndGifAreRefused)
{
    const Bytes png = makePng(10, 10, {1, 2, 3});
    EXPECT_FALSE(probePictureBytes(Bytes(png.begin(), png.end() - 20)));
    EXPECT_FALSE(probePictureBytes(Bytes{'G', 'I', 'F', '8', '9', 'a', 1}));
    const auto text = probePictureBytes(Bytes{'h', 'e', 'l', 'l', 'o'});
    ASSERT_FALSE(text);
    EXPECT_EQ(text.problem().reason, "not a JPEG, PNG or GIF picture");
}
