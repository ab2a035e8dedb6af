#include "Prepare.h"

#include "MemoryBudget.h"
#include "PictureRows.h"

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

Raster shrinkForShowing(const PicturePlan &plan, std::span<const std::uint8_t> bytes, Size stored)
{
    switch (plan.info.format) {
    case PictureFormat::Jpeg: {
        // The header is enough for decoding; the exact end is only needed to
        // embed the file's own bytes.
        std::string error;
        const auto jpeg = parseJpeg(bytes, error, JpegEnd::Quick);
        if (!jpeg)
            throw CodecError(error);
        return shrinkJpeg(bytes, *jpeg, stored.width, stored.height);
    }
    case PictureFormat::Png:
        return shrinkPng(bytes, stored.width, stored.height);
    case PictureFormat::Gif:
        return shrinkGif(bytes, stored.width, stored.height);
    }
    throw CodecError("unknown picture format");
}

} // namespace

PreparedPicture preparePicture(const PicturePlan &plan, int quality)
{
    const MemoryBudget::Share memory = MemoryBudget::forPreparing().take(memoryToPrepare(plan));
    PreparedPicture prepared;
    std::string error;
    if (!prepared.file.read(plan.path, error))
        throw CodecError(error);
    if (!sameFileVersion(prepared.file.status(), plan.info.file))
        throw CodecError("the file changed after it was checked");
    const std::span<const std::uint8_t> bytes = prepared.file.bytes();

    if (plan.embedding == Embedding::Reencoded) {
        const Size stored = plan.stored();
        prepared.jpeg = encodeJpeg(shrinkForShowing(plan, bytes, stored), quality);
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
