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

// RGB from pixels of 4 bytes, each of the first three scaled by the fourth
// (0 to 255): CMYK as libjpeg delivers it (Adobe's inverted convention)
// becomes RGB, and RGBA becomes RGB over black.
void rgbScaledByFourthByte(const std::uint8_t *pixels4, std::size_t pixels, std::uint8_t *rgb);
