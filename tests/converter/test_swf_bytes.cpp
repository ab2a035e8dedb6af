// Exact bytes of the SWF building blocks, computed by hand from the format's
// documentation.
#include "SwfReader.h"
#include "SwfWriter.h"

#include <gtest/gtest.h>


namespace {

template <typename Value>
Bytes encoded(void (*write)(swf::ByteWriter &, const Value &), const Value &value)
{
    swf::ByteWriter out;
    write(out, value);
    return out.bytes();
}

Bytes tagBody(const Bytes &tag)
{
    const bool longForm = (tag.at(0) & 0x3F) == 0x3F;
    return Bytes(tag.begin() + (longForm ? 6 : 2), tag.end());
}

} // namespace

TEST(SwfBits, SignedFieldsTakeOneBitMoreThanTheMagnitude)
{
    for (const auto &[value, bits] :
         std::vector<std::pair<int, int>>{{0, 1}, {-1, 1}, {1, 2}, {-2, 2}, {65535, 17}, {-65536, 17}, {65536, 18}})
        EXPECT_EQ(swf::signedBits(value), bits) << value;
}

TEST(SwfRectAndMatrix, MatchHandComputedBytes)
{
    // The classic 550 x 400 pixel stage; negative values, 3 bits each: 00011 111 001 110 010.
    EXPECT_EQ(encoded(swf::writeRect, swf::Rect{0, 11000, 0, 8000}),
              (Bytes{0x78, 0x00, 0x05, 0x5F, 0x00, 0x00, 0x0F, 0xA0, 0x00}));
    EXPECT_EQ(encoded(swf::writeRect, swf::Rect{-1, 1, -2, 2}), (Bytes{0x1F, 0x39, 0x00}));

    // Translate (20, -20) in 6 bits each; a mirror, scale (-1.0, 1.0) in 18 bits; the identity.
    EXPECT_EQ(encoded(swf::writeMatrix, swf::Matrix{.translateX = 20, .translateY = -20}), (Bytes{0x0C, 0xA5, 0x80}));
    EXPECT_EQ(encoded(swf::writeMatrix, swf::Matrix{.scaleX = -65536}), (Bytes{0xCB, 0x00, 0x00, 0x40, 0x00, 0x00}));
    EXPECT_EQ(encoded(swf::writeMatrix, swf::Matrix{}), (Bytes{0x00}));
    // A quarter turn: scale (0, 0) in 1 bit each, rotate (1.0, -1.0) in 18 bits, no translation.
    EXPECT_EQ(encoded(swf::writeMatrix, swf::Matrix{.scaleX = 0, .scaleY = 0, .rotateSkew0 = 65536, .rotateSkew1 = -65536}),
              (Bytes{0x84, 0xC9, 0x00, 0x00, 0xC0, 0x00, 0x00}));
}

TEST(SwfTagHeader, ShortAndLongForms)
{
    swf::ByteWriter out;
    swf::writeTagHeader(out, swf::ShowFrame, 0);
    swf::writeTagHeader(out, swf::DefineShape, 62);
    swf::writeTagHeader(out, swf::DefineShape, 63);
    swf::writeTagHeader(out, swf::DefineBitsJPEG2, 10, true);
    EXPECT_EQ(out.bytes(), (Bytes{0x40, 0x00,
                                  0xBE, 0x00,
                                  0xBF, 0x00, 0x3F, 0x00, 0x00, 0x00,
                                  0x7F, 0x05, 0x0A, 0x00, 0x00, 0x00}));
    EXPECT_EQ(swf::stopActionTag(), (Bytes{0x02, 0x03, 0x07, 0x00}));
    EXPECT_EQ(swf::showFrameTag(), (Bytes{0x40, 0x00}));
    EXPECT_EQ(swf::endTag(), (Bytes{0x00, 0x00}));
    // DefineBitsJPEG2 always in the long window, the id counted in the length.
    EXPECT_EQ(swf::defineBitsJpeg2Header(3, 5), (Bytes{0x7F, 0x05, 0x07, 0x00, 0x00, 0x00, 0x03, 0x00}));
}

TEST(SwfShape, EdgesLongerThan17BitsAreSplit)
{
    const Bytes tag = swf::defineBitmapShapeTag(2, 1, 200000, 1000, swf::Matrix{});
    const auto outlines = swfread::shapeOutlines(tagBody(tag));
    ASSERT_EQ(outlines.size(), 1u);
    const auto &edges = outlines[0].edges;

    int x = 0, y = 0, horizontal = 0;
    for (const auto &[delta, vertical] : edges) {
        EXPECT_LE(std::abs(delta), 65535);
        (vertical ? y : x) += delta;
        horizontal += !vertical;
    }
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    EXPECT_EQ(horizontal, 2 * 4);   // 200000 twips take four edges each way

    const Bytes small = swf::defineBitmapShapeTag(2, 1, 400, 300, swf::Matrix{});
    const auto four = swfread::shapeOutlines(tagBody(small)).at(0).edges;
    EXPECT_EQ(four, (std::vector<std::pair<int, bool>>{{400, false}, {300, true}, {-400, false}, {-300, true}}));
}

TEST(SwfPlaceObject, CrossfadeTagsMatchHandComputedBytes)
{
    // A picture replacing the one at depth 1, as every cut does: Move | HasCharacter | HasMatrix.
    EXPECT_EQ(swf::placeObjectTag({.depth = 1, .characterId = 2, .replace = true,
                                   .matrix = swf::Matrix{.translateX = 20, .translateY = -20}, .alpha88 = std::nullopt}),
              (Bytes{0x88, 0x06, 0x07, 0x01, 0x00, 0x02, 0x00, 0x0C, 0xA5, 0x80}));
    // A new picture at depth 2, half transparent: the colour transform's multipliers in 10 bits,
    // 0 1 1010 0100000000 (x3) 0010000000 and two bits of padding.
    EXPECT_EQ(swf::placeObjectTag({.depth = 2, .characterId = 4, .replace = false, .matrix = swf::Matrix{},
                                   .alpha88 = 128}),
              (Bytes{0x8C, 0x06, 0x0E, 0x02, 0x00, 0x04, 0x00, 0x00, 0x69, 0x00, 0x40, 0x10, 0x02, 0x00}));
    // The same picture a frame later: only its alpha changes (Move | HasColorTransform).
    EXPECT_EQ(swf::placeObjectTag({.depth = 2, .characterId = 0, .replace = true, .matrix = std::nullopt,
                                   .alpha88 = 64}),
              (Bytes{0x89, 0x06, 0x09, 0x02, 0x00, 0x69, 0x00, 0x40, 0x10, 0x01, 0x00}));
    EXPECT_EQ(swf::removeObjectTag(2), (Bytes{0x02, 0x07, 0x02, 0x00}));
}
