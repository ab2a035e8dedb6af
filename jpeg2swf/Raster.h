#pragma once

#include <cstdint>
#include <vector>

// An RGB picture, 3 bytes a pixel, rows top to bottom without padding.
struct Raster {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;

    Raster() = default;
    Raster(int w, int h) : width(w), height(h), rgb(std::size_t(w) * std::size_t(h) * 3) {}
};

// Shrinks (or keeps) a picture to exactly width x height by averaging the
// source pixels each target pixel covers.
Raster resizeByArea(const Raster &source, int width, int height);

// Converts CMYK as libjpeg delivers it (Adobe's inverted convention, 4 bytes a
// pixel) to RGB.
Raster rgbFromInvertedCmyk(const std::uint8_t *cmyk, int width, int height);
