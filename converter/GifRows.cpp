#include "PictureRows.h"

#include "MemoryBudget.h"
#include "RowReducer.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include <gif_lib.h>

namespace {

struct GifSource {
    std::span<const std::uint8_t> data;
    std::size_t at = 0;
};

int readGif(GifFileType *gif, GifByteType *buffer, int length)
{
    auto *source = static_cast<GifSource *>(gif->UserData);
    const std::size_t count = std::min(std::size_t(std::max(length, 0)), source->data.size() - source->at);
    std::memcpy(buffer, source->data.data() + source->at, count);
    source->at += count;
    return int(count);
}

struct GifCloser {
    void operator()(GifFileType *gif) const
    {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};

Problem damaged(int error)
{
    const char *reason = GifErrorString(error);
    return Problem{.reason = std::string("damaged GIF: ") + (reason ? reason : "unknown error")};
}

Problem damaged(const char *reason)
{
    return Problem{.reason = std::string("damaged GIF: ") + reason};
}

// A GIF opened at its first frame, whose rows are read in the order they are
// stored: an interlaced frame stores every 8th row first, then the rest in
// three more passes.
class FirstFrame
{
public:
    explicit FirstFrame(std::span<const std::uint8_t> data) : m_source{data} {}

    // Reads up to the first frame's rows.
    Failure open()
    {
        int error = 0;
        m_gif.reset(DGifOpen(&m_source, readGif, &error));
        if (!m_gif)
            return damaged(error);
        if (m_gif->SWidth <= 0 || m_gif->SHeight <= 0)
            return damaged("no picture size");
        if (Failure failure = findFrame())
            return failure;
        m_line.resize(std::size_t(frame().Width));
        return std::nullopt;
    }

    int screenWidth() const { return m_gif->SWidth; }
    int screenHeight() const { return m_gif->SHeight; }
    const GifImageDesc &frame() const { return m_gif->Image; }
    bool transparent(int index) const { return index == m_transparent; }
    const ColorMapObject &colours() const { return *m_colours; }

    // The rows of the frame in stored order: (row in the frame, its indices).
    template <typename Visit>
    Failure readRows(Visit visit)
    {
        static const int kStart[] = {0, 4, 2, 1}, kStep[] = {8, 8, 4, 2};
        const int passes = frame().Interlace ? 4 : 1;
        for (int pass = 0; pass < passes; ++pass)
            for (int row = passes > 1 ? kStart[pass] : 0; row < frame().Height; row += passes > 1 ? kStep[pass] : 1) {
                if (DGifGetLine(m_gif.get(), m_line.data(), frame().Width) == GIF_ERROR)
                    return damaged(m_gif->Error);
                visit(row, m_line.data());
            }
        return std::nullopt;
    }

private:
    Failure findFrame()
    {
        while (true) {
            GifRecordType type;
            if (DGifGetRecordType(m_gif.get(), &type) == GIF_ERROR)
                return damaged(m_gif->Error);
            if (type == TERMINATE_RECORD_TYPE)
                return damaged("it holds no picture");
            if (type == EXTENSION_RECORD_TYPE) {
                int code = 0;
                GifByteType *extension = nullptr;
                if (DGifGetExtension(m_gif.get(), &code, &extension) == GIF_ERROR)
                    return damaged(m_gif->Error);
                if (code == GRAPHICS_EXT_FUNC_CODE && extension && extension[0] >= 4 && (extension[1] & 1))
                    m_transparent = extension[4];
                while (extension)
                    if (DGifGetExtensionNext(m_gif.get(), &extension) == GIF_ERROR)
                        return damaged(m_gif->Error);
                continue;
            }
            if (type != IMAGE_DESC_RECORD_TYPE)
                continue;
            if (DGifGetImageDesc(m_gif.get()) == GIF_ERROR)
                return damaged(m_gif->Error);
            m_colours = frame().ColorMap ? frame().ColorMap : m_gif->SColorMap;
            if (!m_colours)
                return damaged("no colour table");
            if (frame().Width <= 0 || frame().Height <= 0)
                return damaged("empty frame");
            return std::nullopt;
        }
    }

    GifSource m_source;
    std::unique_ptr<GifFileType, GifCloser> m_gif;
    int m_transparent = -1;
    const ColorMapObject *m_colours = nullptr;
    std::vector<GifPixelType> m_line;
};

} // namespace

Checked<PictureSize> checkGif(std::span<const std::uint8_t> data)
{
    FirstFrame gif(data);
    if (Failure failure = gif.open())
        return *failure;
    const PictureSize size{gif.screenWidth(), gif.screenHeight(), gif.frame().Interlace};
    if (size.interlaced)
        if (Failure tooLarge = refuseOverBudget(std::uint64_t(size.width) * std::uint64_t(size.height) * kInterlacedGifBytes))
            return *tooLarge;
    if (Failure failure = gif.readRows([](int, const GifPixelType *) {}))
        return *failure;
    return size;
}

Checked<Raster> shrinkGif(std::span<const std::uint8_t> data, int width, int height)
{
    FirstFrame gif(data);
    if (Failure failure = gif.open())
        return *failure;
    const GifImageDesc &frame = gif.frame();
    // The part of the frame on the screen; the rest of the screen is black.
    const int left = std::min(frame.Left, gif.screenWidth()), top = std::min(frame.Top, gif.screenHeight());
    const int columns = std::min(frame.Width, gif.screenWidth() - left);
    const int rows = std::min(frame.Height, gif.screenHeight() - top);
    RowReducer reducer(gif.screenWidth(), gif.screenHeight(), width, height);
    reducer.addBlackRows(top);

    std::vector<std::uint8_t> rgb(std::size_t(std::max(columns, 0)) * 3);
    auto addRow = [&](const GifPixelType *indices) {
        const ColorMapObject &colours = gif.colours();
        for (int x = 0; x < columns; ++x) {
            const int index = indices[x];
            const bool shown = !gif.transparent(index) && index < colours.ColorCount;
            std::uint8_t *pixel = &rgb[std::size_t(x) * 3];
            pixel[0] = shown ? colours.Colors[index].Red : 0;
            pixel[1] = shown ? colours.Colors[index].Green : 0;
            pixel[2] = shown ? colours.Colors[index].Blue : 0;
        }
        reducer.addRow(rgb.data(), left, columns);
    };
    if (!frame.Interlace) {
        if (Failure failure = gif.readRows([&](int row, const GifPixelType *indices) {
                if (row < rows)
                    addRow(indices);
            }))
            return *failure;
    } else {
        // Rows arrive out of order: the frame's part on the screen is held.
        std::vector<GifPixelType> held(std::size_t(std::max(columns, 0)) * std::size_t(std::max(rows, 0)));
        if (Failure failure = gif.readRows([&](int row, const GifPixelType *indices) {
                if (row < rows)
                    std::copy_n(indices, columns, &held[std::size_t(row) * std::size_t(columns)]);
            }))
            return *failure;
        for (int row = 0; row < rows; ++row)
            addRow(&held[std::size_t(row) * std::size_t(columns)]);
    }
    reducer.addBlackRows(gif.screenHeight() - reducer.rowsAdded());
    return reducer.take();
}
