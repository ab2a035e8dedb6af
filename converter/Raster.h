#pragma once

#include <cstddef>
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

// Converts pixels of CMYK as libjpeg delivers it (Adobe's inverted convention,
// 4 bytes a pixel) to RGB.
void rgbFromInvertedCmyk(const std::uint8_t *cmyk, std::size_t pixels, std::uint8_t *rgb);
