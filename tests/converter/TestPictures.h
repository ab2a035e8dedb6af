#pragma once

// Picture files made on the fly for the converter's tests and benchmarks.

#include "Bytes.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace testpictures {

enum class JpegKind { Baseline, Progressive, Arithmetic, ArithmeticProgressive, Greyscale, Cmyk, ProgressiveCmyk };
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

// The same JPEG data under a frame header that declares another size: the
// data then covers only part of the picture.
Bytes withDeclaredSize(const Bytes &jpeg, int width, int height);

Bytes makePng(int width, int height, Colour colour, bool halfTransparent = false);
// A black and white PNG of one bit a pixel, written row by row, so a large one
// is quick to make: the left half white.
Bytes makeBilevelPng(int width, int height);
// RGB of one grey at the best compression, also written row by row: about
// 1,000 bytes of pixels a byte.
Bytes makeFlatPng(int width, int height);
// A PNG whose header declares an interlaced picture of this size, with the
// image data of a 1 x 1 picture.
Bytes makeInterlacedPngHeader(int width, int height);

Bytes makeGif(int width, int height, Colour colour);
// One frame of the colour at the top left of a larger black screen, of which
// only `rows` rows are written.
Bytes makeFramedGif(int screenWidth, int screenHeight, int frameWidth, int frameHeight, Colour colour,
                    bool interlaced, int rows);

void writeFile(const std::string &path, const Bytes &bytes);
Bytes readFile(const std::string &path);

// A new folder in the system's temporary folder, named `name` and a random
// number (Windows has no mkdtemp), removed with what it holds at the end.
struct TemporaryFolder {
    explicit TemporaryFolder(const std::filesystem::path &name);
    ~TemporaryFolder();
    std::filesystem::path path;
};

} // namespace testpictures
