#include "Codecs.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>

#include <gif_lib.h>
#include <jpeglib.h>
#include <png.h>
#include <turbojpeg.h>

namespace {

struct TurboHandle {
    explicit TurboHandle(tjhandle h) : handle(h)
    {
        if (!handle)
            throw CodecError("cannot start the JPEG codec");
    }
    ~TurboHandle() { tjDestroy(handle); }
    TurboHandle(const TurboHandle &) = delete;
    TurboHandle &operator=(const TurboHandle &) = delete;
    tjhandle handle;
};

void checkPixels(std::uint64_t width, std::uint64_t height, std::uint64_t maxPixels)
{
    if (width * height > maxPixels)
        throw CodecError("picture too large: " + std::to_string(width) + " x " + std::to_string(height));
}

} // namespace

Raster decodeJpeg(std::span<const std::uint8_t> data, const JpegInfo &info, int minWidth, int minHeight)
{
    TurboHandle decoder(tjInitDecompress());
    int count = 0;
    const tjscalingfactor *factors = tjGetScalingFactors(&count);
    int width = info.width, height = info.height;
    for (int i = 0; i < count; ++i) {
        const int w = TJSCALED(info.width, factors[i]), h = TJSCALED(info.height, factors[i]);
        if (w >= minWidth && h >= minHeight && std::int64_t(w) * h < std::int64_t(width) * height) {
            width = w;
            height = h;
        }
    }
    checkPixels(std::uint64_t(width), std::uint64_t(height), kMaxDecodedPixels);

    const bool cmyk = info.components == 4;
    std::vector<std::uint8_t> pixels(std::size_t(width) * std::size_t(height) * (cmyk ? 4 : 3));
    const int status = tjDecompress2(decoder.handle, data.data(), static_cast<unsigned long>(data.size()),
                                     pixels.data(), width, 0, height, cmyk ? TJPF_CMYK : TJPF_RGB, 0);
    // A warning (damaged but decodable data) still gives a picture.
    if (status != 0 && tjGetErrorCode(decoder.handle) != TJERR_WARNING)
        throw CodecError(std::string("cannot decode JPEG: ") + tjGetErrorStr2(decoder.handle));

    if (cmyk)
        return rgbFromInvertedCmyk(pixels.data(), width, height);
    Raster raster;
    raster.width = width;
    raster.height = height;
    raster.rgb = std::move(pixels);
    return raster;
}

Bytes encodeJpeg(const Raster &raster, int quality)
{
    TurboHandle encoder(tjInitCompress());
    unsigned char *jpeg = nullptr;
    unsigned long size = 0;
    if (tjCompress2(encoder.handle, raster.rgb.data(), raster.width, 0, raster.height, TJPF_RGB, &jpeg,
                    &size, TJSAMP_420, quality, 0) != 0) {
        tjFree(jpeg);
        throw CodecError(std::string("cannot encode JPEG: ") + tjGetErrorStr2(encoder.handle));
    }
    Bytes result(jpeg, jpeg + size);
    tjFree(jpeg);
    return result;
}

namespace {

struct JpegErrors {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void jumpOnError(j_common_ptr codec)
{
    auto *errors = reinterpret_cast<JpegErrors *>(codec->err);
    codec->err->format_message(codec, errors->message);
    std::longjmp(errors->jump, 1);
}

void ignoreMessage(j_common_ptr, int) {}

// Plain C state only between setjmp and longjmp: no destructor may be skipped.
bool copyCoefficients(const std::uint8_t *data, unsigned long size, unsigned char **out,
                      unsigned long *outSize, char *message)
{
    jpeg_decompress_struct source;
    jpeg_compress_struct target;
    JpegErrors errors;
    source.err = target.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = jumpOnError;
    errors.manager.emit_message = ignoreMessage;
    jpeg_create_decompress(&source);
    jpeg_create_compress(&target);
    if (setjmp(errors.jump)) {
        std::strcpy(message, errors.message);
        jpeg_destroy_compress(&target);
        jpeg_destroy_decompress(&source);
        return false;
    }
    jpeg_mem_src(&source, data, size);
    jpeg_read_header(&source, TRUE);
    jvirt_barray_ptr *coefficients = jpeg_read_coefficients(&source);
    jpeg_copy_critical_parameters(&source, &target);
    target.arith_code = FALSE;
    target.optimize_coding = TRUE;   // tables fitted to this picture: smaller, still baseline
    jpeg_mem_dest(&target, out, outSize);
    jpeg_write_coefficients(&target, coefficients);
    jpeg_finish_compress(&target);
    jpeg_finish_decompress(&source);
    jpeg_destroy_compress(&target);
    jpeg_destroy_decompress(&source);
    return true;
}

} // namespace

Bytes transcodeToBaseline(std::span<const std::uint8_t> data)
{
    unsigned char *out = nullptr;
    unsigned long outSize = 0;
    char message[JMSG_LENGTH_MAX] = {};
    const bool ok = copyCoefficients(data.data(), static_cast<unsigned long>(data.size()), &out, &outSize, message);
    Bytes result;
    if (ok)
        result.assign(out, out + outSize);
    std::free(out);
    if (!ok)
        throw CodecError(std::string("cannot transcode JPEG: ") + message);

    std::string error;
    const auto info = parseJpeg(result, error);
    if (!info || info->process != JpegProcess::Baseline)
        throw CodecError("transcoded JPEG is not baseline");
    return result;
}

Raster decodePng(std::span<const std::uint8_t> data, std::uint64_t maxPixels)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, data.data(), data.size()))
        throw CodecError(std::string("damaged PNG: ") + image.message);
    std::unique_ptr<png_image, void (*)(png_image *)> guard(&image, png_image_free);
    checkPixels(image.width, image.height, maxPixels);

    image.format = PNG_FORMAT_RGB;
    Raster raster(int(image.width), int(image.height));
    png_color black{0, 0, 0};   // transparency shows the black stage
    if (!png_image_finish_read(&image, &black, raster.rgb.data(), 0, nullptr))
        throw CodecError(std::string("damaged PNG: ") + image.message);
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

[[noreturn]] void gifFailed(GifFileType *gif)
{
    const char *reason = GifErrorString(gif->Error);
    throw CodecError(std::string("damaged GIF: ") + (reason ? reason : "unknown error"));
}

} // namespace

Raster decodeGif(std::span<const std::uint8_t> data, std::uint64_t maxPixels)
{
    GifSource source{data};
    int error = 0;
    std::unique_ptr<GifFileType, GifCloser> gif(DGifOpen(&source, readGif, &error));
    if (!gif) {
        const char *reason = GifErrorString(error);
        throw CodecError(std::string("damaged GIF: ") + (reason ? reason : "unknown error"));
    }
    if (gif->SWidth <= 0 || gif->SHeight <= 0)
        throw CodecError("damaged GIF: no picture size");
    checkPixels(std::uint64_t(gif->SWidth), std::uint64_t(gif->SHeight), maxPixels);

    int transparent = -1;
    while (true) {
        GifRecordType type;
        if (DGifGetRecordType(gif.get(), &type) == GIF_ERROR)
            gifFailed(gif.get());
        if (type == TERMINATE_RECORD_TYPE)
            throw CodecError("damaged GIF: it holds no picture");
        if (type == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType *extension = nullptr;
            if (DGifGetExtension(gif.get(), &code, &extension) == GIF_ERROR)
                gifFailed(gif.get());
            if (code == GRAPHICS_EXT_FUNC_CODE && extension && extension[0] >= 4 && (extension[1] & 1))
                transparent = extension[4];
            while (extension)
                if (DGifGetExtensionNext(gif.get(), &extension) == GIF_ERROR)
                    gifFailed(gif.get());
            continue;
        }
        if (type != IMAGE_DESC_RECORD_TYPE)
            continue;

        if (DGifGetImageDesc(gif.get()) == GIF_ERROR)
            gifFailed(gif.get());
        const GifImageDesc &frame = gif->Image;
        const ColorMapObject *colours = frame.ColorMap ? frame.ColorMap : gif->SColorMap;
        if (!colours)
            throw CodecError("damaged GIF: no colour table");
        if (frame.Width <= 0 || frame.Height <= 0)
            throw CodecError("damaged GIF: empty frame");
        checkPixels(std::uint64_t(frame.Width), std::uint64_t(frame.Height), maxPixels);

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
                gifFailed(gif.get());
            paint(row);
        };
        if (frame.Interlace) {
            static const int start[] = {0, 4, 2, 1}, step[] = {8, 8, 4, 2};
            for (int pass = 0; pass < 4; ++pass)
                for (int row = start[pass]; row < frame.Height; row += step[pass])
                    readRow(row);
        } else {
            for (int row = 0; row < frame.Height; ++row)
                readRow(row);
        }
        return canvas;
    }
}
