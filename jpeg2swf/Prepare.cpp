#include "Prepare.h"

std::uint64_t PreparedPicture::size() const
{
    if (ranges.empty())
        return jpeg.size();
    std::uint64_t total = 0;
    for (const auto &[from, to] : ranges)
        total += to - from;
    return total;
}

namespace {

Raster decodeForShowing(const PicturePlan &plan, std::span<const std::uint8_t> bytes, Size stored)
{
    switch (plan.info.format) {
    case PictureFormat::Jpeg: {
        // The header is enough for decoding; the exact end is only needed to
        // embed the file's own bytes.
        std::string error;
        const auto jpeg = parseJpeg(bytes, error, JpegEnd::Quick);
        if (!jpeg)
            throw CodecError(error);
        return decodeJpeg(bytes, *jpeg, stored.width, stored.height);
    }
    case PictureFormat::Png:
        return decodePng(bytes);
    case PictureFormat::Gif:
        return decodeGif(bytes);
    }
    throw CodecError("unknown picture format");
}

} // namespace

PreparedPicture preparePicture(const PicturePlan &plan, int quality)
{
    PreparedPicture prepared;
    std::string error;
    if (!prepared.file.read(plan.path, error))
        throw CodecError(error);
    if (!sameFileVersion(prepared.file.status(), plan.info.file))
        throw CodecError("the file changed after it was checked");
    const std::span<const std::uint8_t> bytes = prepared.file.bytes();

    if (plan.embedding == Embedding::Reencoded) {
        const Size stored = plan.stored();
        const Raster raster = resizeByArea(decodeForShowing(plan, bytes, stored), stored.width, stored.height);
        prepared.jpeg = encodeJpeg(raster, quality);
        prepared.file = PictureFile();
        return prepared;
    }

    const auto jpeg = parseJpeg(bytes, error);
    if (!jpeg || jpeg->width != plan.info.width || jpeg->height != plan.info.height)
        throw CodecError("the file changed while it was being converted");
    if (plan.embedding == Embedding::Transcoded) {
        prepared.jpeg = transcodeToBaseline(bytes.first(jpeg->end));
        prepared.file = PictureFile();
    } else {
        prepared.ranges = jpegRangesWithoutMetadata(bytes, *jpeg);
    }
    return prepared;
}
