#include "Codecs.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include <gif_lib.h>
#include <png.h>
#include <turbojpeg.h>

namespace {

Problem tooLarge(std::uint64_t width, std::uint64_t height)
{
    return Problem{.reason = "picture too large: " + std::to_string(width) + " x " + std::to_string(height)};
}

} // namespace

Checked<Raster> decodeJpeg(std::span<const std::uint8_t> data, const JpegInfo &info, int minWidth, int minHeight)
{
    // The smallest scale in eighths whose picture still covers the minimum,
    // rounded up as libjpeg rounds.
    int eighths = 8;
    while (eighths > 1 && (info.width * std::int64_t(eighths - 1) + 7) / 8 >= minWidth
           && (info.height * std::int64_t(eighths - 1) + 7) / 8 >= minHeight)
        --eighths;
    const std::uint64_t width = (info.width * std::uint64_t(eighths) + 7) / 8;
    const std::uint64_t height = (info.height * std::uint64_t(eighths) + 7) / 8;
    if (width * height > kMaxDecodedPixels)
        return tooLarge(width, height);

    std::vector<std::uint8_t> pixels;
    JpegOutput output;
    const Failure failure = decodeJpegData({data}, eighths, [&](const JpegOutput &size) {
        output = size;
        pixels.resize(std::size_t(size.width) * std::size_t(size.height) * std::size_t(size.components));
        return pixels.data();
    });
    if (failure)
        return *failure;
    if (output.components == 4)
        return rgbFromInvertedCmyk(pixels.data(), output.width, output.height);
    Raster raster;
    raster.width = output.width;
    raster.height = output.height;
    raster.rgb = std::move(pixels);
    return raster;
}

Checked<Bytes> encodeJpeg(const Raster &raster, int quality)
{
    if (raster.width > kMaxJpegSide || raster.height > kMaxJpegSide)
        return Problem{.reason = tooLargeForJpeg(raster.width, raster.height)};
    const tjhandle encoder = tjInitCompress();
    if (!encoder)
        return Problem{.reason = "cannot start the JPEG encoder"};
    unsigned char *jpeg = nullptr;
    unsigned long size = 0;
    Checked<Bytes> result = Bytes();
    if (tjCompress2(encoder, raster.rgb.data(), raster.width, 0, raster.height, TJPF_RGB, &jpeg, &size,
                    TJSAMP_420, quality, 0) != 0)
        result = Problem{.reason = std::string("cannot encode JPEG: ") + tjGetErrorStr2(encoder)};
    else
        result->assign(jpeg, jpeg + size);
    tjFree(jpeg);
    tjDestroy(encoder);
    return result;
}

Checked<Bytes> transcodeToBaseline(std::span<const std::uint8_t> data)
{
    auto result = copyCoefficientsToBaseline(data);
    if (!result)
        return result;
    const auto info = parseJpeg(*result);
    if (!info || info->process != JpegProcess::Baseline)
        return Problem{.reason = "transcoded JPEG is not baseline"};
    return result;
}

Checked<Raster> decodePng(std::span<const std::uint8_t> data, std::uint64_t maxPixels)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, data.data(), data.size()))
        return Problem{.reason = std::string("damaged PNG: ") + image.message};
    std::unique_ptr<png_image, void (*)(png_image *)> guard(&image, png_image_free);
    if (std::uint64_t(image.width) * image.height > maxPixels)
        return tooLarge(image.width, image.height);

    image.format = PNG_FORMAT_RGB;
    Raster raster(int(image.width), int(image.height));
    png_color black{0, 0, 0};   // transparency shows the black stage
    if (!png_image_finish_read(&image, &black, raster.rgb.data(), 0, nullptr))
        return Problem{.reason = std::string("damaged PNG: ") + image.message};
    return raster;
}

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

Problem gifProblem(int error)
{
    const char *reason = GifErrorString(error);
    return Problem{.reason = std::string("damaged GIF: ") + (reason ? reason : "unknown error")};
}

} // namespace

Checked<Raster> decodeGif(std::span<const std::uint8_t> data, std::uint64_t maxPixels)
{
    GifSource source{data};
    int error = 0;
    std::unique_ptr<GifFileType, GifCloser> gif(DGifOpen(&source, readGif, &error));
    if (!gif)
        return gifProblem(error);
    if (gif->SWidth <= 0 || gif->SHeight <= 0)
        return Problem{.reason = "damaged GIF: no picture size"};
    if (std::uint64_t(gif->SWidth) * std::uint64_t(gif->SHeight) > maxPixels)
        return tooLarge(std::uint64_t(gif->SWidth), std::uint64_t(gif->SHeight));

    int transparent = -1;
    while (true) {
        GifRecordType type;
        if (DGifGetRecordType(gif.get(), &type) == GIF_ERROR)
            return gifProblem(gif->Error);
        if (type == TERMINATE_RECORD_TYPE)
            return Problem{.reason = "damaged GIF: it holds no picture"};
        if (type == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType *extension = nullptr;
            if (DGifGetExtension(gif.get(), &code, &extension) == GIF_ERROR)
                return gifProblem(gif->Error);
            if (code == GRAPHICS_EXT_FUNC_CODE && extension && extension[0] >= 4 && (extension[1] & 1))
                transparent = extension[4];
            while (extension)
                if (DGifGetExtensionNext(gif.get(), &extension) == GIF_ERROR)
                    return gifProblem(gif->Error);
            continue;
        }
        if (type != IMAGE_DESC_RECORD_TYPE)
            continue;

        if (DGifGetImageDesc(gif.get()) == GIF_ERROR)
            return gifProblem(gif->Error);
        const GifImageDesc &frame = gif->Image;
        const ColorMapObject *colours = frame.ColorMap ? frame.ColorMap : gif->SColorMap;
        if (!colours)
            return Problem{.reason = "damaged GIF: no colour table"};
        if (frame.Width <= 0 || frame.Height <= 0)
            return Problem{.reason = "damaged GIF: empty frame"};
        if (std::uint64_t(frame.Width) * std::uint64_t(frame.Height) > maxPixels)
            return tooLarge(std::uint64_t(frame.Width), std::uint64_t(frame.Height));

        Raster canvas(gif->SWidth, gif->SHeight);   // black
        std::vector<GifPixelType> line(std::size_t(frame.Width));
        auto paint = [&](int row) {
            const int y = frame.Top + row;
            if (y < 0 || y >= canvas.height)
                return;
            for (int i = 0; i < frame.Width; ++i) {
                const int x = frame.Left + i;
                const int index = line[std::size_t(i)];
                if (x < 0 || x >= canvas.width || index == transparent || index >= colours->ColorCount)
                    continue;
                std::uint8_t *pixel = &canvas.rgb[(std::size_t(y) * std::size_t(canvas.width) + std::size_t(x)) * 3];
                pixel[0] = colours->Colors[index].Red;
                pixel[1] = colours->Colors[index].Green;
                pixel[2] = colours->Colors[index].Blue;
            }
        };
        auto readRow = [&](int row) {
            if (DGifGetLine(gif.get(), line.data(), frame.Width) == GIF_ERROR)
                return false;
            paint(row);
            return true;
        };
        if (frame.Interlace) {
            static const int start[] = {0, 4, 2, 1}, step[] = {8, 8, 4, 2};
            for (int pass = 0; pass < 4; ++pass)
                for (int row = start[pass]; row < frame.Height; row += step[pass])
                    if (!readRow(row))
                        return gifProblem(gif->Error);
        } else {
            for (int row = 0; row < frame.Height; ++row)
                if (!readRow(row))
                    return gifProblem(gif->Error);
        }
        return canvas;
    }
}
