#pragma once

// Readers that decode a picture row by row. Checking reads every row and keeps
// none; shrinking hands each row to a RowReducer, so a picture becomes the
// size it is shown at without being held whole. Only the rows of an
// interlaced PNG or GIF frame arrive out of order: those are held whole.
// Each fails with a readable reason.

#include "JpegInfo.h"
#include "Problem.h"
#include "Raster.h"

#include <cstdint>
#include <span>

struct PictureSize {
    int width = 0;
    int height = 0;
    bool interlaced = false;
};

// What an interlaced picture holds while it is shrunk, a pixel: 8-bit RGBA for
// a PNG, a colour index for a GIF.
constexpr int kInterlacedPngBytes = 4;
constexpr int kInterlacedGifBytes = 1;

// Checking refuses an interlaced picture at once when holding it would not fit
// the preparation budget, before decoding it.
Checked<PictureSize> checkPng(std::span<const std::uint8_t> data);
// Transparency shows the black stage.
Checked<Raster> shrinkPng(std::span<const std::uint8_t> data, int width, int height);

// A GIF is its first frame on its logical screen; transparent pixels are black.
Checked<PictureSize> checkGif(std::span<const std::uint8_t> data);
Checked<Raster> shrinkGif(std::span<const std::uint8_t> data, int width, int height);

// The smallest DCT scale, in eighths, at which the JPEG still covers
// minWidth x minHeight: a large photo shown small is never fully decoded.
int jpegScaleEighths(const JpegInfo &info, int minWidth, int minHeight);
Checked<Raster> shrinkJpeg(std::span<const std::uint8_t> data, const JpegInfo &info, int width, int height);
