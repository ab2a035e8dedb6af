#pragma once

// Decoding and encoding through libjpeg-turbo, libpng and giflib. Each fails
// with a readable reason.

#include "JpegDecode.h"
#include "JpegInfo.h"
#include "Problem.h"
#include "Raster.h"

#include <cstdint>
#include <span>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// Pictures larger than this are refused rather than decoded.
constexpr std::uint64_t kMaxDecodedPixels = 200'000'000;

// Decodes a JPEG at the smallest DCT scale that is still at least
// minWidth x minHeight, so a large photo shown small is never fully decoded.
// Damaged data fails it (see JpegDecode.h).
Checked<Raster> decodeJpeg(std::span<const std::uint8_t> data, const JpegInfo &info, int minWidth, int minHeight);

// Baseline, 4:2:0 JPEG of the picture.
Checked<Bytes> encodeJpeg(const Raster &raster, int quality);

// The same picture in baseline Huffman coding, by copying its DCT coefficients:
// no quality is lost. Fails on damaged data, and when the result would not be
// baseline.
Checked<Bytes> transcodeToBaseline(std::span<const std::uint8_t> data);

Checked<Raster> decodePng(std::span<const std::uint8_t> data, std::uint64_t maxPixels = kMaxDecodedPixels);
// The first frame of a GIF on its logical screen; transparent pixels are black.
Checked<Raster> decodeGif(std::span<const std::uint8_t> data, std::uint64_t maxPixels = kMaxDecodedPixels);
