#include "Raster.h"

#include <algorithm>
#include <cmath>

namespace {

// For each target pixel along one axis: the first source pixel it covers and the
// weight of each covered source pixel (summing to 1).
struct Coverage {
    int first = 0;
    std::vector<float> weights;
};

std::vector<Coverage> coverages(int sourceSize, int targetSize)
{
    std::vector<Coverage> result(static_cast<std::size_t>(targetSize));
    const double scale = double(sourceSize) / targetSize;
    for (int t = 0; t < targetSize; ++t) {
        const double from = t * scale, to = std::min((t + 1) * scale, double(sourceSize));
        Coverage &c = result[std::size_t(t)];
        c.first = int(from);
        for (int s = c.first; s < to; ++s) {
            const double overlap = std::min(to, s + 1.0) - std::max(from, double(s));
            if (overlap > 0)
                c.weights.push_back(float(overlap / scale));
        }
    }
    return result;
}

} // namespace

Raster resizeByArea(const Raster &source, int width, int height)
{
    if (source.width == width && source.height == height)
        return source;
    const std::vector<Coverage> columns = coverages(source.width, width);
    const std::vector<Coverage> rows = coverages(source.height, height);
    Raster target(width, height);
    std::vector<float> blended(std::size_t(source.width) * 3);

    for (int y = 0; y < height; ++y) {
        // Blend the source rows this target row covers, then the columns.
        std::fill(blended.begin(), blended.end(), 0.0f);
        const Coverage &row = rows[std::size_t(y)];
        for (std::size_t i = 0; i < row.weights.size(); ++i) {
            const std::uint8_t *line = &source.rgb[std::size_t(row.first + int(i)) * std::size_t(source.width) * 3];
            const float w = row.weights[i];
            for (std::size_t x = 0; x < blended.size(); ++x)
                blended[x] += w * line[x];
        }
        std::uint8_t *out = &target.rgb[std::size_t(y) * std::size_t(width) * 3];
        for (int x = 0; x < width; ++x) {
            const Coverage &column = columns[std::size_t(x)];
            float r = 0, g = 0, b = 0;
            for (std::size_t i = 0; i < column.weights.size(); ++i) {
                const float *pixel = &blended[std::size_t(column.first + int(i)) * 3];
                r += column.weights[i] * pixel[0];
                g += column.weights[i] * pixel[1];
                b += column.weights[i] * pixel[2];
            }
            out[x * 3 + 0] = std::uint8_t(std::clamp(std::lround(r), 0L, 255L));
            out[x * 3 + 1] = std::uint8_t(std::clamp(std::lround(g), 0L, 255L));
            out[x * 3 + 2] = std::uint8_t(std::clamp(std::lround(b), 0L, 255L));
        }
    }
    return target;
}

Raster rgbFromInvertedCmyk(const std::uint8_t *cmyk, int width, int height)
{
    Raster result(width, height);
    const std::size_t pixels = std::size_t(width) * std::size_t(height);
    for (std::size_t i = 0; i < pixels; ++i) {
        const unsigned k = cmyk[i * 4 + 3];
        for (int c = 0; c < 3; ++c)
            result.rgb[i * 3 + std::size_t(c)] = std::uint8_t((cmyk[i * 4 + std::size_t(c)] * k + 127) / 255);
    }
    return result;
}
