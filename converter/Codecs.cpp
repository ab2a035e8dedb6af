#include "Codecs.h"

#include "JpegDecode.h"

#include <turbojpeg.h>

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
