// Pictures that declare far more than they hold, and large ones: each is
// prepared within bounded memory or refused, with its reason, before the
// expensive work.
#include "Run.h"
#include "TestPictures.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdlib.h>

namespace fs = std::filesystem;
using namespace testpictures;

namespace {

const Colour kGrey{120, 120, 120};

class ConversionBounds : public testing::Test
{
protected:
    const TemporaryFolder temporary{"jpeg2swf-bounds-"};
    const fs::path &folder = temporary.path;
};

} // namespace

TEST_F(ConversionBounds, EveryPictureIsPreparedInBoundedMemoryOrRefusedBeforeDecoding)
{
    struct Case {
        std::string name;
        Bytes bytes;
        std::vector<std::string> options;
        std::string reason;   // empty: converts
    };
    const std::string overBudget = "MiB to decode; the limit is 512 MiB";
    const Bytes bilevel = makeBilevelPng(12000, 12000);
    Bytes jfif2 = makeJpeg(64, 48, kGrey);
    jfif2[11] = 2;   // JFIF 2.0: libjpeg warns, about metadata only
    const std::vector<Case> cases = {
        // Data of 64 x 48 under a larger frame header: not a grey picture.
        {"progressive.jpg", withDeclaredSize(makeJpeg(64, 48, kGrey, JpegKind::Progressive), 20000, 20000), {},
         "truncated JPEG: "},
        {"cmyk.jpg", withDeclaredSize(makeJpeg(64, 48, kGrey, JpegKind::ProgressiveCmyk), 32768, 14000), {},
         "truncated JPEG: "},
        {"baseline.jpg", withDeclaredSize(makeJpeg(64, 48, kGrey), 4000, 3000), {"-m", "0"}, "truncated JPEG: "},
        // Enough data for its size, ending early all the same: found by decoding.
        {"baseline-shown-small.jpg", withDeclaredSize(makeJpeg(640, 480, kGrey), 1280, 960), {"-m", "320x240"},
         "damaged picture data: premature end of data segment"},
        // Arithmetic coding may spend almost nothing on a block: the coefficients
        // of a progressive file, and the work of decoding, tell.
        {"arithmetic.jpg", withDeclaredSize(makeJpeg(64, 48, kGrey, JpegKind::ArithmeticProgressive), 20000, 20000),
         {}, "needs 1157 " + overBudget},
        {"flat.jpg", withDeclaredSize(makeJpeg(64, 48, kGrey, JpegKind::Arithmetic), 65500, 65500), {},
         "too much work to decode for its size"},
        // Interlaced rows arrive out of order: refused before they are read.
        {"interlaced.png", makeInterlacedPngHeader(20000, 20000), {}, "needs 1526 " + overBudget},
        {"interlaced.gif", makeFramedGif(65535, 65535, 65535, 65535, kGrey, true, 1), {}, "needs 4096 " + overBudget},
        // Large PNG and GIF pictures are shrunk while they are read.
        {"large.png", bilevel, {}, ""},
        {"large-own-size.png", bilevel, {"-m", "0"}, "needs 1238 " + overBudget},
        {"screen.gif", makeFramedGif(65535, 65535, 300, 200, kGrey, false, 200), {}, ""},
        {"jfif-2.jpg", jfif2, {"-m", "32x24"}, ""},
    };
    for (const Case &c : cases) {
        const std::string picture = (folder / c.name).string(), output = (folder / "show.swf").string();
        writeFile(picture, c.bytes);
        std::vector<std::string> args{"-r", "1", picture, "-o", output};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const auto result = testrun::jpeg2swf(args);
        if (c.reason.empty()) {
            EXPECT_EQ(result.status, 0) << c.name << ": " << result.errors;
        } else {
            EXPECT_EQ(result.status, 1) << c.name;
            EXPECT_NE(result.errors.find("jpeg2swf: " + picture + ": " + c.reason), std::string::npos)
                << c.name << ": " << result.errors;
            EXPECT_FALSE(fs::exists(output));
        }
        // Without the bounds these take from 400 MiB to several GiB.
        EXPECT_LT(result.peakKiB, 256 * 1024) << c.name;
        fs::remove(output);
    }
}
