#include "PictureRows.h"

#include "MemoryBudget.h"
#include "Raster.h"
#include "RowReducer.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

#include <png.h>

namespace {

// libpng's state, plain C, so a longjmp out of libpng skips no destructor.
struct PngDecoder {
    png_structp png = nullptr;
    png_infop info = nullptr;
    const std::uint8_t *data = nullptr;
    std::size_t size = 0;
    std::size_t at = 0;
    char message[256] = {};

    PngDecoder()
    {
        png = png_create_read_struct(PNG_LIBPNG_VER_STRING, this, failed, ignoreWarning);
        if (png)
            info = png_create_info_struct(png);
        if (png && info)
            png_set_read_fn(png, this, read);
    }
    ~PngDecoder() { png_destroy_read_struct(&png, &info, nullptr); }
    PngDecoder(const PngDecoder &) = delete;
    PngDecoder &operator=(const PngDecoder &) = delete;

    static void read(png_structp png, png_bytep out, png_size_t length)
    {
        auto *self = static_cast<PngDecoder *>(png_get_io_ptr(png));
        if (length > self->size - self->at)
            png_error(png, "the file ends early");
        std::memcpy(out, self->data + self->at, length);
        self->at += length;
    }
    [[noreturn]] static void failed(png_structp png, png_const_charp text)
    {
        auto *self = static_cast<PngDecoder *>(png_get_error_ptr(png));
        std::snprintf(self->message, sizeof self->message, "%s", text);
        png_longjmp(png, 1);
    }
    static void ignoreWarning(png_structp, png_const_charp) {}
};

// Each function below calls libpng under its own setjmp, with plain C locals
// only. A call that returns false left the reason in decoder.message.

// Reads the header; when `toRgb`, has rows delivered as 8-bit sRGB, with
// alpha (RGBA) when the picture has transparency.
bool startPng(PngDecoder &decoder, bool toRgb, int &passes)
{
    png_structp png = decoder.png;
    png_infop info = decoder.info;
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_read_info(png, info);
    if (toRgb) {
        png_set_expand(png);
        png_set_scale_16(png);
        png_set_gray_to_rgb(png);
        double gamma = 0;
        if (png_get_gAMA(png, info, &gamma))
            png_set_gamma(png, PNG_DEFAULT_sRGB, gamma);
    }
    passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    return true;
}

// Reads every row of every pass: into one row buffer, handed to `done` after
// each row of the last pass, or, with a stride, into a whole picture.
bool readPngRows(PngDecoder &decoder, int passes, png_bytep rows, std::size_t stride,
                 void (*done)(void *, png_const_bytep), void *context)
{
    png_structp png = decoder.png;
    const png_uint_32 height = png_get_image_height(png, decoder.info);
    if (setjmp(png_jmpbuf(png)))
        return false;
    for (int pass = 0; pass < passes; ++pass)
        for (png_uint_32 y = 0; y < height; ++y) {
            png_bytep row = rows + stride * y;
            png_read_row(png, row, nullptr);
            if (done && pass == passes - 1)
                done(context, row);
        }
    png_read_end(png, nullptr);
    return true;
}

Problem damaged(const PngDecoder &decoder)
{
    return Problem{.reason = std::string("damaged PNG: ") + decoder.message};
}

Failure start(PngDecoder &decoder, std::span<const std::uint8_t> data, bool toRgb, int &passes)
{
    if (!decoder.png || !decoder.info)
        return Problem{.reason = "cannot start the PNG codec"};
    decoder.data = data.data();
    decoder.size = data.size();
    if (!startPng(decoder, toRgb, passes))
        return damaged(decoder);
    return std::nullopt;
}

// Hands rows of RGB on, and rows of RGBA composited over black.
struct Compositor {
    RowReducer &reducer;
    bool alpha;
    std::vector<std::uint8_t> rgb;

    static void add(void *context, png_const_bytep pixels)
    {
        auto *self = static_cast<Compositor *>(context);
        if (!self->alpha) {
            self->reducer.addRow(pixels);
            return;
        }
        rgbScaledByFourthByte(pixels, self->rgb.size() / 3, self->rgb.data());
        self->reducer.addRow(self->rgb.data());
    }
};

} // namespace

Checked<PictureSize> checkPng(std::span<const std::uint8_t> data)
{
    PngDecoder decoder;
    int passes = 1;
    if (Failure failure = start(decoder, data, false, passes))
        return *failure;
    PictureSize size{int(png_get_image_width(decoder.png, decoder.info)),
                     int(png_get_image_height(decoder.png, decoder.info)), passes > 1};
    if (size.interlaced)
        if (Failure tooLarge = refuseOverBudget(std::uint64_t(size.width) * std::uint64_t(size.height) * kInterlacedPngBytes))
            return *tooLarge;
    std::vector<png_byte> row(png_get_rowbytes(decoder.png, decoder.info));
    if (!readPngRows(decoder, passes, row.data(), 0, nullptr, nullptr))
        return damaged(decoder);
    return size;
}

Checked<Raster> shrinkPng(std::span<const std::uint8_t> data, int width, int height)
{
    PngDecoder decoder;
    int passes = 1;
    if (Failure failure = start(decoder, data, true, passes))
        return *failure;
    const int sourceWidth = int(png_get_image_width(decoder.png, decoder.info));
    const int sourceHeight = int(png_get_image_height(decoder.png, decoder.info));
    RowReducer reducer(sourceWidth, sourceHeight, width, height);
    const bool alpha = png_get_channels(decoder.png, decoder.info) == 4;
    Compositor compositor{reducer, alpha, std::vector<std::uint8_t>(alpha ? std::size_t(sourceWidth) * 3 : 0)};
    const std::size_t rowBytes = png_get_rowbytes(decoder.png, decoder.info);
    if (passes == 1) {
        std::vector<png_byte> row(rowBytes);
        if (!readPngRows(decoder, passes, row.data(), 0, Compositor::add, &compositor))
            return damaged(decoder);
    } else {
        // Each pass fills in more of every row: all of them are needed at once.
        std::vector<png_byte> rows(rowBytes * std::size_t(sourceHeight));
        if (!readPngRows(decoder, passes, rows.data(), rowBytes, nullptr, nullptr))
            return damaged(decoder);
        for (int y = 0; y < sourceHeight; ++y)
            Compositor::add(&compositor, &rows[rowBytes * std::size_t(y)]);
    }
    return reducer.take();
}
