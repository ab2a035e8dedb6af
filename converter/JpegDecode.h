#pragma once

// JPEG data through libjpeg's own interface, with one rule for its complaints:
// an error, and equally a warning of damaged data (which libjpeg would paper
// over with grey), makes the picture bad, with libjpeg's reason. Every decode
// is bounded in memory and work (JpegLimits.h).

#include "Problem.h"

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

// The data in the order it is read: a whole file, or the ranges of one that
// are embedded.
using JpegPieces = std::vector<std::span<const std::uint8_t>>;

struct JpegOutput {
    int width = 0;
    int height = 0;
    int components = 0;   // 3 (RGB) or 4 (CMYK, inverted as Adobe writes it)
};

// What a decode does with the rows, each of output.width x output.components
// bytes. `start` sees the size first and may refuse it; without `row`, each
// row is decoded and dropped: a check that the data decodes, at the cost of
// the entropy decoding alone at eighths = 1.
struct JpegRowSink {
    std::function<Failure(const JpegOutput &)> start = {};
    std::function<void(const std::uint8_t *)> row = {};
};

// Decodes the picture scaled by eighths/8 (1 to 8), within the work that
// dataBytes of entropy-coded data justify (see JpegLimits.h).
Failure decodeJpegData(const JpegPieces &pieces, int eighths, std::uint64_t dataBytes, const JpegRowSink &sink = {});

// The same picture in baseline Huffman coding, by copying its DCT coefficients:
// no quality is lost.
Checked<std::vector<std::uint8_t>> copyCoefficientsToBaseline(std::span<const std::uint8_t> data);
