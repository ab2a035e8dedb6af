#pragma once

// Encoding and transcoding through libjpeg-turbo (decoding is in
// PictureRows.h and JpegDecode.h). Each fails with a readable reason.

#include "Bytes.h"
#include "JpegInfo.h"
#include "Problem.h"
#include "Raster.h"

#include <cstdint>
#include <span>
#include <vector>

// Baseline, 4:2:0 JPEG of the picture.
Checked<Bytes> encodeJpeg(const Raster &raster, int quality);

// The same picture in baseline Huffman coding, by copying its DCT coefficients:
// no quality is lost. Fails when the result would not be baseline.
// Damaged data, and data that ends before the picture does, fail.
Checked<Bytes> transcodeToBaseline(std::span<const std::uint8_t> data);
