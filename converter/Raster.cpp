#include "Raster.h"

void rgbFromInvertedCmyk(const std::uint8_t *cmyk, std::size_t pixels, std::uint8_t *rgb)
{
    for (std::size_t i = 0; i < pixels; ++i) {
        const unsigned k = cmyk[i * 4 + 3];
        for (std::size_t c = 0; c < 3; ++c)
            rgb[i * 3 + c] = std::uint8_t((cmyk[i * 4 + c] * k + 127) / 255);
    }
}
