#include "RowReducer.h"

#include <algorithm>
#include <stdexcept>

// Along one axis, target pixel t covers [t S, (t + 1) S) and source pixel s
// covers [s T, (s + 1) T), in units of 1 / T of a source pixel (S source and T
// target pixels). The weight of s in t is their overlap divided by S.

RowReducer::RowReducer(int sourceWidth, int sourceHeight, int width, int height)
    : m_sourceWidth(sourceWidth), m_sourceHeight(sourceHeight), m_result(width, height)
{
    if (width < 1 || height < 1 || width > sourceWidth || height > sourceHeight)
        throw std::logic_error("a picture can only be shrunk");
    m_columnTarget.resize(std::size_t(sourceWidth));
    m_columnWeight.resize(std::size_t(sourceWidth));
    for (int s = 0; s < sourceWidth; ++s) {
        const Span span = spanOf(s, sourceWidth, width);
        m_columnTarget[std::size_t(s)] = span.first;
        m_columnWeight[std::size_t(s)] = weight(s, span.first, sourceWidth, width);
    }
    // A spare column past the end takes the zero remainder of the last source column.
    m_shrunkRow.resize(std::size_t(width + 1) * 3);
    for (auto &sums : m_sums)
        sums.assign(std::size_t(width) * 3, 0.0f);
}

std::uint64_t RowReducer::workingBytes(int sourceWidth, int width)
{
    return (std::uint64_t(width) + 1) * 3 * sizeof(float) * 3 + std::uint64_t(sourceWidth) * 8;
}

RowReducer::Span RowReducer::spanOf(int source, int sourceSize, int targetSize) const
{
    const std::int64_t s = source, S = sourceSize, T = targetSize;
    return {int(s * T / S), int(((s + 1) * T - 1) / S)};
}

float RowReducer::weight(int source, int target, int sourceSize, int targetSize) const
{
    const std::int64_t S = sourceSize, T = targetSize;
    const std::int64_t from = std::max<std::int64_t>(source * T, target * S);
    const std::int64_t to = std::min<std::int64_t>((source + 1) * T, (target + 1) * S);
    return float(double(to - from) / double(S));
}

void RowReducer::addRow(const std::uint8_t *rgb, int first, int count)
{
    std::fill(m_shrunkRow.begin(), m_shrunkRow.end(), 0.0f);
    const float whole = float(double(m_result.width) / m_sourceWidth);
    for (int i = 0; i < count; ++i) {
        const auto s = std::size_t(first + i);
        const std::uint8_t *pixel = rgb + std::size_t(i) * 3;
        float *sum = &m_shrunkRow[std::size_t(m_columnTarget[s]) * 3];
        const float w = m_columnWeight[s], rest = whole - w;
        sum[0] += w * pixel[0];
        sum[1] += w * pixel[1];
        sum[2] += w * pixel[2];
        sum[3] += rest * pixel[0];
        sum[4] += rest * pixel[1];
        sum[5] += rest * pixel[2];
    }
    accumulate(false);
}

void RowReducer::addBlackRows(int count)
{
    for (int i = 0; i < count && m_sourceRow < m_sourceHeight; ++i)
        accumulate(true);
}

void RowReducer::accumulate(bool black)
{
    if (m_sourceRow >= m_sourceHeight)
        throw std::logic_error("more rows than the picture has");
    const int s = m_sourceRow++;
    const int height = m_result.height;
    const Span span = spanOf(s, m_sourceHeight, height);
    for (int t = span.first; t <= span.last; ++t) {
        if (!black) {
            const float w = weight(s, t, m_sourceHeight, height);
            float *__restrict sums = m_sums[t & 1].data();
            const float *__restrict row = m_shrunkRow.data();
            const std::size_t count = m_sums[t & 1].size();
            for (std::size_t x = 0; x < count; ++x)
                sums[x] += w * row[x];
        }
        // Target row t is complete once this source row reaches its end.
        if (std::int64_t(s + 1) * height >= std::int64_t(t + 1) * m_sourceHeight)
            finishRow(t);
    }
}

void RowReducer::finishRow(int target)
{
    std::vector<float> &sums = m_sums[target & 1];
    std::uint8_t *out = &m_result.rgb[std::size_t(target) * std::size_t(m_result.width) * 3];
    // Sums are never negative: adding a half and truncating rounds them.
    for (std::size_t x = 0; x < sums.size(); ++x)
        out[x] = std::uint8_t(std::min(sums[x] + 0.5f, 255.0f));
    std::fill(sums.begin(), sums.end(), 0.0f);
    m_nextTargetRow = target + 1;
}

Raster RowReducer::take()
{
    if (m_sourceRow != m_sourceHeight || m_nextTargetRow != m_result.height)
        throw std::logic_error("the picture is not complete");
    return std::move(m_result);
}
