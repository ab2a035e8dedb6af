#include "PictureRows.h"

#include "Codecs.h"
#include "JpegLimits.h"
#include "RowReducer.h"

#include <csetjmp>
#include <cstring>

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

int scaled(int size, int eighths)
{
    return int((std::int64_t(size) * eighths + 7) / 8);
}

// Plain C state only between setjmp and longjmp: no destructor may be skipped.
bool decodeRows(std::span<const std::uint8_t> data, const JpegInfo &info, int eighths, RowReducer &reducer,
                char *message)
{
    jpeg_decompress_struct codec;
    JpegErrors errors;
    JpegWorkLimit limit;
    codec.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = jumpOnError;
    jpeg_create_decompress(&codec);
    if (setjmp(errors.jump)) {
        std::strcpy(message, errors.message);
        jpeg_destroy_decompress(&codec);
        return false;
    }
    jpeg_mem_src(&codec, data.data(), static_cast<unsigned long>(data.size()));
    limitJpegDecoding(codec, limit, data.size() - info.firstScanData);
    jpeg_read_header(&codec, TRUE);
    codec.scale_num = unsigned(eighths);
    codec.scale_denom = 8;
    const bool cmyk = codec.num_components == 4;
    codec.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_start_decompress(&codec);
    if (int(codec.output_width) != scaled(info.width, eighths) || int(codec.output_height) != scaled(info.height, eighths)) {
        std::strcpy(message, "the JPEG changed while it was being read");
        jpeg_destroy_decompress(&codec);
        return false;
    }
    const auto common = reinterpret_cast<j_common_ptr>(&codec);
    JSAMPARRAY row = codec.mem->alloc_sarray(common, JPOOL_IMAGE, codec.output_width * JDIMENSION(codec.output_components), 1);
    JSAMPARRAY rgb = cmyk ? codec.mem->alloc_sarray(common, JPOOL_IMAGE, codec.output_width * 3, 1) : row;
    while (codec.output_scanline < codec.output_height) {
        jpeg_read_scanlines(&codec, row, 1);
        if (cmyk)
            rgbFromInvertedCmyk(row[0], codec.output_width, rgb[0]);
        reducer.addRow(rgb[0]);
    }
    jpeg_finish_decompress(&codec);
    jpeg_destroy_decompress(&codec);
    return true;
}

} // namespace

int jpegScaleEighths(const JpegInfo &info, int minWidth, int minHeight)
{
    int eighths = 1;
    while (eighths < 8 && (scaled(info.width, eighths) < minWidth || scaled(info.height, eighths) < minHeight))
        ++eighths;
    return eighths;
}

Raster shrinkJpeg(std::span<const std::uint8_t> data, const JpegInfo &info, int width, int height)
{
    const int eighths = jpegScaleEighths(info, width, height);
    RowReducer reducer(scaled(info.width, eighths), scaled(info.height, eighths), width, height);
    char message[JMSG_LENGTH_MAX] = {};
    if (!decodeRows(data, info, eighths, reducer, message))
        throw CodecError(std::string("cannot decode JPEG: ") + message);
    return reducer.take();
}
