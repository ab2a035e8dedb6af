#include "PictureRows.h"

#include "JpegDecode.h"
#include "RowReducer.h"

#include <vector>

namespace {

int scaled(int size, int eighths)
{
    return int((std::int64_t(size) * eighths + 7) / 8);
}

} // namespace

int jpegScaleEighths(const JpegInfo &info, int minWidth, int minHeight)
{
    int eighths = 1;
    while (eighths < 8 && (scaled(info.width, eighths) < minWidth || scaled(info.height, eighths) < minHeight))
        ++eighths;
    return eighths;
}

Checked<Raster> shrinkJpeg(std::span<const std::uint8_t> data, const JpegInfo &info, int width, int height)
{
    const int eighths = jpegScaleEighths(info, width, height);
    const int sourceWidth = scaled(info.width, eighths);
    RowReducer reducer(sourceWidth, scaled(info.height, eighths), width, height);
    std::vector<std::uint8_t> rgb;
    bool cmyk = false;
    JpegRowSink sink;
    sink.start = [&](const JpegOutput &output) -> Failure {
        if (output.width != sourceWidth || output.height != scaled(info.height, eighths))
            return Problem{.reason = "the JPEG changed while it was being read"};
        cmyk = output.components == 4;
        if (cmyk)
            rgb.resize(std::size_t(output.width) * 3);
        return std::nullopt;
    };
    sink.row = [&](const std::uint8_t *row) {
        if (cmyk)
            rgbScaledByFourthByte(row, std::size_t(sourceWidth), rgb.data());
        reducer.addRow(cmyk ? rgb.data() : row);
    };
    if (Failure failure = decodeJpegData({data}, eighths, data.size() - info.firstScanData, sink))
        return *failure;
    return reducer.take();
}
