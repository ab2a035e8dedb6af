#pragma once

// Bytes of an uncompressed SWF file: little-endian integers, MSB-first bit
// fields, and one function per tag we write. Nothing is ever written raw from a
// struct.

#include "Bytes.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace swf {

// The SWF unit: 20 twips to a pixel of the stage.
constexpr int kTwipsPerStagePixel = 20;

// Tag codes.
enum Tag : std::uint16_t {
    End = 0,
    ShowFrame = 1,
    DefineShape = 2,
    SetBackgroundColor = 9,
    DoAction = 12,
    DefineBitsJPEG2 = 21,
    PlaceObject2 = 26,
    RemoveObject2 = 28,
    FileAttributes = 69,
};

class ByteWriter
{
public:
    void u8(std::uint8_t value) { m_bytes.push_back(value); }
    void u16(std::uint16_t value);
    void u32(std::uint32_t value);
    void append(std::span<const std::uint8_t> bytes);
    Bytes &bytes() { return m_bytes; }
    const Bytes &bytes() const { return m_bytes; }

private:
    Bytes m_bytes;
};

// Bit fields, most significant bit first; flush() pads to a whole byte before
// the next byte-aligned field.
class BitWriter
{
public:
    explicit BitWriter(ByteWriter &out) : m_out(out) {}
    ~BitWriter() { flush(); }

    void ub(std::uint32_t value, int bits);
    void sb(std::int32_t value, int bits);
    void flush();

private:
    ByteWriter &m_out;
    std::uint32_t m_pending = 0;
    int m_pendingBits = 0;
};

// Bits a signed field needs for value (two's complement, at least 1).
int signedBits(std::int32_t value);
// Bits an unsigned field needs for value (at least 1 for value > 0, else 0).
int unsignedBits(std::uint32_t value);

struct Rect {
    std::int32_t xMin = 0, xMax = 0, yMin = 0, yMax = 0;   // twips
};

// 16.16 fixed point for scale and rotate/skew, twips for the translation.
struct Matrix {
    std::int32_t scaleX = 1 << 16, scaleY = 1 << 16;
    std::int32_t rotateSkew0 = 0, rotateSkew1 = 0;
    std::int32_t translateX = 0, translateY = 0;

    bool hasScale() const { return scaleX != 1 << 16 || scaleY != 1 << 16; }
    bool hasRotate() const { return rotateSkew0 != 0 || rotateSkew1 != 0; }
};

void writeRect(ByteWriter &out, const Rect &rect);
void writeMatrix(ByteWriter &out, const Matrix &matrix);

// Tag header: short form for lengths below 63 unless forced long.
void writeTagHeader(ByteWriter &out, Tag code, std::uint32_t length, bool forceLong = false);

// Header up to and including FrameCount, written as given: the frame count is
// known before the first picture, the file length is patched at the end.
struct Header {
    std::uint8_t version = 10;
    std::uint32_t fileLength = 0;
    Rect frameSize;
    std::uint16_t frameRate88 = 1 << 8;   // 8.8 fixed point
    std::uint16_t frameCount = 0;
};
Bytes encodeHeader(const Header &header);
// Where FileLength lies, to patch it once the file is complete.
constexpr std::size_t kFileLengthOffset = 4;

Bytes fileAttributesTag();
Bytes setBackgroundColorTag(std::uint8_t r, std::uint8_t g, std::uint8_t b);
Bytes showFrameTag();
Bytes endTag();
Bytes stopActionTag();

// The header of a DefineBitsJPEG2 tag whose JPEG data (jpegSize bytes) follows.
Bytes defineBitsJpeg2Header(std::uint16_t bitmapId, std::uint32_t jpegSize);

// A width x height twips rectangle at the origin filled with a clipped bitmap
// (smoothed from version 8 on) drawn through fillMatrix.
Bytes defineBitmapShapeTag(std::uint16_t shapeId, std::uint16_t bitmapId, std::int32_t width,
                           std::int32_t height, const Matrix &fillMatrix);

// A black width x height twips rectangle at the origin with a rectangular hole:
// laid around a picture smaller than the stage, it fades the stage's black
// margins in with it.
Bytes defineMarginsShapeTag(std::uint16_t shapeId, std::int32_t width, std::int32_t height, const Rect &hole);

// Fully opaque in an alpha multiplier (8.8 fixed point).
constexpr std::uint16_t kOpaque88 = 256;

// What a PlaceObject2 tag sets at a depth: a new character (or one replacing
// what stands there when replace is set), its matrix, and an alpha multiplier
// that leaves the colours as they are. Without a character it changes the one
// standing at the depth.
struct Placement {
    std::uint16_t depth = 1;
    std::uint16_t characterId = 0;
    bool replace = false;
    std::optional<Matrix> matrix;
    std::optional<std::uint16_t> alpha88;
};
Bytes placeObjectTag(const Placement &placement);
Bytes removeObjectTag(std::uint16_t depth);

} // namespace swf
