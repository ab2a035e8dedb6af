#pragma once

// Picture files made on the fly for the converter's tests and benchmarks.

#include <cstdint>
#include <string>
#include <vector>

namespace testpictures {

using Bytes = std::vector<std::uint8_t>;

enum class JpegKind { Baseline, Progressive, Arithmetic, Greyscale, Cmyk };
enum class Chroma { S420, S444 };

struct Colour {
    std::uint8_t r, g, b;
};

// A picture of one colour with a faint diagonal pattern, so it is not trivially
// compressible but its mean colour stays near the given one.
Bytes makeJpeg(int width, int height, Colour colour, JpegKind kind = JpegKind::Baseline,
               Chroma chroma = Chroma::S420, int quality = 90);

// Inserts an EXIF segment with the orientation tag (and a camera serial number
// that must not reach the slide show) right after SOI, and a comment.
Bytes withExif(const Bytes &jpeg, int orientation);

// Damage that a check of the markers alone lets through: the first three are
// refused by libjpeg, the last two decoded with a "Corrupt JPEG data" warning.
enum class Damage { NoQuantTable, FrameNamesTable255, OversubscribedHuffman, ScanCutShort, JunkBeforeEnd };
Bytes damaged(const Bytes &jpeg, Damage damage);

Bytes makePng(int width, int height, Colour colour, bool halfTransparent = false);
Bytes makeGif(int width, int height, Colour colour);

void writeFile(const std::string &path, const Bytes &bytes);
Bytes readFile(const std::string &path);

} // namespace testpictures
