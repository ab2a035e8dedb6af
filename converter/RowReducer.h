#pragma once

// Shrinks a picture to a smaller size while its rows arrive one after the
// other, so the whole source picture is never held: only one row of it and the
// result. Each target pixel is the average of the source area it covers.

#include "Raster.h"

#include <cstdint>
#include <vector>

class RowReducer
{
public:
    // The target may not be larger than the source in either direction.
    RowReducer(int sourceWidth, int sourceHeight, int width, int height);

    // The next source row: `count` RGB pixels from column `first`; the rest of
    // the row is black.
    void addRow(const std::uint8_t *rgb, int first, int count);
    void addRow(const std::uint8_t *rgb) { addRow(rgb, 0, m_sourceWidth); }
    void addBlackRows(int count);

    int rowsAdded() const { return m_sourceRow; }
    // The shrunk picture, once every source row has been added.
    Raster take();

    // Bytes held besides the result, for a source of this width and a target
    // of that width.
    static std::uint64_t workingBytes(int sourceWidth, int width);

private:
    // Which target pixels a source pixel overlaps, as integer parts of a
    // source pixel: exact, so every row and column is counted whole once.
    struct Span {
        int first = 0;    // first target index
        int last = 0;     // last target index
    };
    Span spanOf(int source, int sourceSize, int targetSize) const;
    float weight(int source, int target, int sourceSize, int targetSize) const;
    void accumulate(bool black);
    void finishRow(int target);

    int m_sourceWidth, m_sourceHeight;
    Raster m_result;
    int m_sourceRow = 0;
    int m_nextTargetRow = 0;
    // For each source column: the first target column it falls in, and its
    // weight there; the rest of its weight goes to the next target column.
    std::vector<int> m_columnTarget;
    std::vector<float> m_columnWeight;
    std::vector<float> m_shrunkRow;            // the current source row at the target width
    std::vector<float> m_sums[2];              // target rows being summed, by parity
};
