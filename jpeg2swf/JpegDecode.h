#pragma once

// JPEG data through libjpeg's own interface, with one rule for its complaints:
// an error, and equally a warning of damaged data (which libjpeg would paper
// over with grey), makes the picture bad, with libjpeg's reason.

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

// Decodes the picture scaled by eighths/8 (1 to 8). Once its size is known,
// `into` gives the memory for all its rows, top to bottom without padding; when
// it gives none, each row is decoded and dropped: a check that the data
// decodes, at the cost of the entropy decoding alone at eighths = 1.
Failure decodeJpegData(const JpegPieces &pieces, int eighths,
                       const std::function<std::uint8_t *(const JpegOutput &)> &into);

// The same picture in baseline Huffman coding, by copying its DCT coefficients:
// no quality is lost.
Checked<std::vector<std::uint8_t>> copyCoefficientsToBaseline(std::span<const std::uint8_t> data);
