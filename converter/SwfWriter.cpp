#include "SwfWriter.h"

#include <algorithm>
#include <cstdlib>

namespace swf {

void ByteWriter::u16(std::uint16_t value)
{
    u8(std::uint8_t(value & 0xFF));
    u8(std::uint8_t(value >> 8));
}

void ByteWriter::u32(std::uint32_t value)
{
    u16(std::uint16_t(value & 0xFFFF));
    u16(std::uint16_t(value >> 16));
}

void ByteWriter::append(std::span<const std::uint8_t> bytes)
{
    m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
}

void BitWriter::ub(std::uint32_t value, int bits)
{
    for (int bit = bits - 1; bit >= 0; --bit) {
        m_pending = (m_pending << 1) | ((value >> bit) & 1u);
        if (++m_pendingBits == 8) {
            m_out.u8(std::uint8_t(m_pending));
            m_pending = 0;
            m_pendingBits = 0;
        }
    }
}

void BitWriter::sb(std::int32_t value, int bits)
{
    ub(std::uint32_t(value), bits);
}

void BitWriter::flush()
{
    if (m_pendingBits > 0)
        ub(0, 8 - m_pendingBits);
}

int unsignedBits(std::uint32_t value)
{
    int bits = 0;
    while (value) {
        ++bits;
        value >>= 1;
    }
    return bits;
}

int signedBits(std::int32_t value)
{
    // The magnitude's bits plus a sign bit; a negative value's magnitude is
    // taken from its one's complement (-1 -> 0, -65536 -> 65535).
    const std::uint32_t magnitude = value < 0 ? ~std::uint32_t(value) : std::uint32_t(value);
    return unsignedBits(magnitude) + 1;
}

void writeRect(ByteWriter &out, const Rect &rect)
{
    const int bits = std::max({signedBits(rect.xMin), signedBits(rect.xMax),
                               signedBits(rect.yMin), signedBits(rect.yMax)});
    BitWriter writer(out);
    writer.ub(std::uint32_t(bits), 5);
    writer.sb(rect.xMin, bits);
    writer.sb(rect.xMax, bits);
    writer.sb(rect.yMin, bits);
    writer.sb(rect.yMax, bits);
}

void writeMatrix(ByteWriter &out, const Matrix &matrix)
{
    BitWriter writer(out);
    writer.ub(matrix.hasScale(), 1);
    if (matrix.hasScale()) {
        const int bits = std::max(signedBits(matrix.scaleX), signedBits(matrix.scaleY));
        writer.ub(std::uint32_t(bits), 5);
        writer.sb(matrix.scaleX, bits);
        writer.sb(matrix.scaleY, bits);
    }
    writer.ub(matrix.hasRotate(), 1);
    if (matrix.hasRotate()) {
        const int bits = std::max(signedBits(matrix.rotateSkew0), signedBits(matrix.rotateSkew1));
        writer.ub(std::uint32_t(bits), 5);
        writer.sb(matrix.rotateSkew0, bits);
        writer.sb(matrix.rotateSkew1, bits);
    }
    const bool hasTranslate = matrix.translateX != 0 || matrix.translateY != 0;
    const int bits = hasTranslate ? std::max(signedBits(matrix.translateX), signedBits(matrix.translateY)) : 0;
    writer.ub(std::uint32_t(bits), 5);
    writer.sb(matrix.translateX, bits);
    writer.sb(matrix.translateY, bits);
}

void writeTagHeader(ByteWriter &out, Tag code, std::uint32_t length, bool forceLong)
{
    if (length < 0x3F && !forceLong) {
        out.u16(std::uint16_t(code << 6 | length));
    } else {
        out.u16(std::uint16_t(code << 6 | 0x3F));
        out.u32(length);
    }
}

namespace {

Bytes tag(Tag code, const Bytes &body, bool forceLong = false)
{
    ByteWriter out;
    writeTagHeader(out, code, std::uint32_t(body.size()), forceLong);
    out.append(body);
    return std::move(out.bytes());
}

} // namespace

Bytes encodeHeader(const Header &header)
{
    ByteWriter out;
    out.u8('F');
    out.u8('W');
    out.u8('S');                        // uncompressed: JPEG data does not compress
    out.u8(header.version);
    out.u32(header.fileLength);         // whole file, header included
    writeRect(out, header.frameSize);   // stage in twips
    out.u16(header.frameRate88);        // frames per second, 8.8 fixed point
    out.u16(header.frameCount);
    return std::move(out.bytes());
}

Bytes fileAttributesTag()
{
    // No flags: ActionScript 1/2 (so DoAction's Stop runs), no network access,
    // no metadata.
    ByteWriter body;
    body.u32(0);
    return tag(FileAttributes, body.bytes());
}

Bytes setBackgroundColorTag(std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    return tag(SetBackgroundColor, {r, g, b});
}

Bytes showFrameTag()
{
    return tag(ShowFrame, {});
}

Bytes endTag()
{
    return tag(End, {});
}

Bytes stopActionTag()
{
    return tag(DoAction, {0x07, 0x00});   // ActionStop, ActionEndFlag
}

Bytes defineBitsJpeg2Header(std::uint16_t bitmapId, std::uint32_t jpegSize)
{
    ByteWriter out;
    writeTagHeader(out, DefineBitsJPEG2, jpegSize + 2, true);
    out.u16(bitmapId);
    return std::move(out.bytes());
}

namespace {

// A straight edge, horizontal or vertical, whose delta fits 17 signed bits;
// callers split longer ones.
constexpr std::int32_t kMaxEdgeDelta = 65535;

void straightEdge(BitWriter &bits, std::int32_t delta, bool vertical)
{
    const int size = std::max(signedBits(delta), 2);
    bits.ub(1, 1);                          // TypeFlag: edge record
    bits.ub(1, 1);                          // StraightFlag
    bits.ub(std::uint32_t(size - 2), 4);    // NumBits - 2
    bits.ub(0, 1);                          // GeneralLineFlag: axis-aligned line
    bits.ub(vertical, 1);                   // VertLineFlag
    bits.sb(delta, size);
}

void edges(BitWriter &bits, std::int32_t total, bool vertical)
{
    const std::int32_t step = total < 0 ? -kMaxEdgeDelta : kMaxEdgeDelta;
    while (std::abs(total) > kMaxEdgeDelta) {
        straightEdge(bits, step, vertical);
        total -= step;
    }
    straightEdge(bits, total, vertical);
}

} // namespace

namespace {

// A StyleChangeRecord that moves the pen to (x, y), and selects fill style 1
// on the right of the edges that follow when selectFill is set.
void moveTo(BitWriter &bits, std::int32_t x, std::int32_t y, bool selectFill)
{
    const int size = std::max(signedBits(x), signedBits(y));
    bits.ub(0, 1);                        // TypeFlag: non-edge
    bits.ub(0, 1);                        // StateNewStyles
    bits.ub(0, 1);                        // StateLineStyle
    bits.ub(selectFill, 1);               // StateFillStyle1
    bits.ub(0, 1);                        // StateFillStyle0
    bits.ub(1, 1);                        // StateMoveTo
    bits.ub(std::uint32_t(size), 5);      // MoveBits
    bits.sb(x, size);
    bits.sb(y, size);
    if (selectFill)
        bits.ub(1, 1);                    // FillStyle1 = 1
}

// A rectangle from the pen, clockwise on screen, so the inside lies on the
// right of every edge.
void rectangle(BitWriter &bits, std::int32_t width, std::int32_t height)
{
    edges(bits, width, false);
    edges(bits, height, true);
    edges(bits, -width, false);
    edges(bits, -height, true);
}

} // namespace

Bytes defineBitmapShapeTag(std::uint16_t shapeId, std::uint16_t bitmapId, std::int32_t width,
                           std::int32_t height, const Matrix &fillMatrix)
{
    ByteWriter body;
    body.u16(shapeId);
    writeRect(body, {0, width, 0, height});   // ShapeBounds
    body.u8(1);                               // FillStyleCount
    body.u8(0x41);                            // clipped bitmap fill, smoothed
    body.u16(bitmapId);
    writeMatrix(body, fillMatrix);
    body.u8(0);                               // LineStyleCount
    {
        BitWriter bits(body);
        bits.ub(1, 4);                        // NumFillBits
        bits.ub(0, 4);                        // NumLineBits
        moveTo(bits, 0, 0, true);
        rectangle(bits, width, height);
        bits.ub(0, 6);                        // EndShapeRecord
    }
    return tag(DefineShape, body.bytes());
}

Bytes defineMarginsShapeTag(std::uint16_t shapeId, std::int32_t width, std::int32_t height, const Rect &hole)
{
    ByteWriter body;
    body.u16(shapeId);
    writeRect(body, {0, width, 0, height});   // ShapeBounds
    body.u8(1);                               // FillStyleCount
    body.u8(0x00);                            // solid fill
    body.u8(0);                               // black
    body.u8(0);
    body.u8(0);
    body.u8(0);                               // LineStyleCount
    {
        BitWriter bits(body);
        bits.ub(1, 4);                        // NumFillBits
        bits.ub(0, 4);                        // NumLineBits
        // Above and below the hole across the whole width, then left and
        // right of it; empty ones are left out.
        const Rect bars[] = {{0, width, 0, hole.yMin}, {0, width, hole.yMax, height},
                             {0, hole.xMin, hole.yMin, hole.yMax}, {hole.xMax, width, hole.yMin, hole.yMax}};
        bool first = true;
        for (const Rect &bar : bars) {
            if (bar.xMax <= bar.xMin || bar.yMax <= bar.yMin)
                continue;
            moveTo(bits, bar.xMin, bar.yMin, first);
            rectangle(bits, bar.xMax - bar.xMin, bar.yMax - bar.yMin);
            first = false;
        }
        bits.ub(0, 6);                        // EndShapeRecord
    }
    return tag(DefineShape, body.bytes());
}

Bytes placeObjectTag(const Placement &placement)
{
    ByteWriter body;
    const bool hasCharacter = placement.characterId != 0;
    body.u8(std::uint8_t((placement.alpha88 ? 0x08 : 0)       // HasColorTransform
                         | (placement.matrix ? 0x04 : 0)      // HasMatrix
                         | (hasCharacter ? 0x02 : 0)          // HasCharacter
                         | (placement.replace || !hasCharacter ? 0x01 : 0)));   // Move
    body.u16(placement.depth);
    if (hasCharacter)
        body.u16(placement.characterId);
    if (placement.matrix)
        writeMatrix(body, *placement.matrix);
    if (placement.alpha88) {
        // CXFORMWITHALPHA with multipliers only: red, green and blue kept.
        const int bits = signedBits(std::max<std::int32_t>(kOpaque88, *placement.alpha88));
        BitWriter writer(body);
        writer.ub(0, 1);                        // HasAddTerms
        writer.ub(1, 1);                        // HasMultTerms
        writer.ub(std::uint32_t(bits), 4);
        for (int colour = 0; colour < 3; ++colour)
            writer.sb(kOpaque88, bits);
        writer.sb(*placement.alpha88, bits);
    }
    return tag(PlaceObject2, body.bytes());
}

Bytes removeObjectTag(std::uint16_t depth)
{
    ByteWriter body;
    body.u16(depth);
    return tag(RemoveObject2, body.bytes());
}

} // namespace swf
