#include "Raster.h"

void rgbScaledByFourthByte(const std::uint8_t *pixels4, std::size_t pixels, std::uint8_t *rgb)
{
    for (std::size_t i = 0; i < pixels; ++i) {
        const unsigned scale = pixels4[i * 4 + 3];
        for (std::size_t c = 0; c < 3; ++c)
            rgb[i * 3 + c] = std::uint8_t((pixels4[i * 4 + c] * scale + 127) / 255);
    }
}
