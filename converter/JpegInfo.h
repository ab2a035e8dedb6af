#pragma once

// What the converter needs to know of a JPEG file, read from its markers
// without decoding it: size, coding process, colour, EXIF orientation, where the
// picture data begins and ends.

#include "Problem.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

enum class JpegProcess {
    Baseline,              // SOF0: what every player decodes
    ExtendedSequential,    // SOF1
    Progressive,           // SOF2
    Arithmetic,            // SOF9, SOF10
};

struct JpegInfo {
    int width = 0;
    int height = 0;
    int components = 0;
    int precision = 8;
    JpegProcess process = JpegProcess::Baseline;
    bool standardSampling = true;   // luma 1x1, 2x1, 1x2 or 2x2 and chroma 1x1
    bool rgbColour = false;         // three components that are RGB, not YCbCr
    std::array<std::uint8_t, 4> hSampling {};   // sampling factors of each component
    std::array<std::uint8_t, 4> vSampling {};
    bool multiScan = false;         // progressive, or a first scan without every component
    int orientation = 1;            // EXIF orientation, 1 to 8
    std::size_t firstScan = 0;      // offset of the first SOS marker
    std::size_t firstScanData = 0;  // offset just past the first SOS header
    std::size_t end = 0;            // offset just past the EOI marker

    // Three-component YCbCr baseline with usual sampling: every player's decoder.
    bool playerSafe() const
    {
        return process == JpegProcess::Baseline && components == 3 && !rgbColour && standardSampling;
    }
    // Can be made player-safe by copying its coefficients into baseline coding.
    bool losslesslyTranscodable() const
    {
        return components == 3 && !rgbColour && standardSampling;
    }
};

// The largest sampling factors of its components, across and down: the size
// of one MCU in 8x8 blocks.
std::pair<int, int> largestSampling(const JpegInfo &info);

// libjpeg's limit on either side of a picture it decodes or encodes.
constexpr int kMaxJpegSide = 65500;
std::string tooLargeForJpeg(int width, int height);

enum class JpegEnd {
    Exact,   // scan the picture data for its end-of-image marker
    Quick,   // trust an end-of-image marker at the very end of the file
};

// Reads the markers of a whole JPEG file, or says what is wrong with them. A
// quick read touches only the header and the last bytes of a complete
// file, which is all a check needs; embedding needs the exact end.
Checked<JpegInfo> parseJpeg(std::span<const std::uint8_t> data, JpegEnd end = JpegEnd::Exact);

// Reads only the markers before the picture data, from the start of a file
// whose rest may be missing. Leaves end at 0.
Checked<JpegInfo> parseJpegHeader(std::span<const std::uint8_t> start);

// The EXIF orientation (1 to 8) in the body of an APP1 segment, or 1.
int exifOrientation(std::span<const std::uint8_t> app1);

// The byte ranges of the file that make the same picture without metadata:
// SOI, the tables and frame header, the Adobe colour marker, then everything
// from the first scan to EOI. EXIF, XMP, ICC, comments, thumbnails and trailing
// data are left out.
std::vector<std::pair<std::size_t, std::size_t>> jpegRangesWithoutMetadata(
    std::span<const std::uint8_t> data, const JpegInfo &info);
