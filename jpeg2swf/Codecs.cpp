#include "Codecs.h"

#include "JpegLimits.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>

#include <jpeglib.h>
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

} // namespace

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

// Plain C state only between setjmp and longjmp: no destructor may be skipped.
bool copyCoefficients(const std::uint8_t *data, unsigned long size, unsigned char **out,
                      unsigned long *outSize, char *message)
{
    jpeg_decompress_struct source;
    jpeg_compress_struct target;
    JpegErrors errors;
    JpegWorkLimit limit;
    source.err = target.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = jumpOnError;
    jpeg_create_decompress(&source);
    jpeg_create_compress(&target);
    if (setjmp(errors.jump)) {
        std::strcpy(message, errors.message);
        jpeg_destroy_compress(&target);
        jpeg_destroy_decompress(&source);
        return false;
    }
    jpeg_mem_src(&source, data, size);
    limitJpegDecoding(source, limit, size);
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
