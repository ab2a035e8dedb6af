#include "Prepare.h"

#include "JpegDecode.h"
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

Checked<Raster> shrinkForShowing(const PicturePlan &plan, std::span<const std::uint8_t> bytes, Size stored)
{
    switch (plan.info.format) {
    case PictureFormat::Jpeg: {
        // The header is enough for decoding; the exact end is only needed to
        // embed the file's own bytes.
        const auto jpeg = parseJpeg(bytes, JpegEnd::Quick);
        if (!jpeg)
            return jpeg.problem();
        return shrinkJpeg(bytes, *jpeg, stored.width, stored.height);
    }
    case PictureFormat::Png:
        return shrinkPng(bytes, stored.width, stored.height);
    case PictureFormat::Gif:
        return shrinkGif(bytes, stored.width, stored.height);
    }
    return Problem{.reason = "unknown picture format"};
}

Checked<Bytes> reencoded(const PicturePlan &plan, std::span<const std::uint8_t> bytes, int quality)
{
    const Size stored = plan.stored();
    const auto shrunk = shrinkForShowing(plan, bytes, stored);
    if (!shrunk)
        return shrunk.problem();
    return encodeJpeg(*shrunk, quality);
}

// What is embedded of a picture as it is must decode as it stands: its tables
// are not enough, damage hides in the entropy-coded data. Decoding at 1/8
// scale reads every coefficient and computes next to nothing else.
Failure checkEmbeddedData(const PreparedPicture &prepared, const JpegInfo &jpeg)
{
    JpegPieces pieces;
    for (const auto &[from, to] : prepared.ranges)
        pieces.push_back(prepared.file.bytes().subspan(from, to - from));
    return decodeJpegData(pieces, 1, jpeg.end - jpeg.firstScanData);
}

Checked<PreparedPicture> prepare(const PicturePlan &plan, int quality)
{
    const auto memory = MemoryBudget::forPreparing().take(memoryToPrepare(plan));
    if (!memory)
        return memory.problem();
    PreparedPicture prepared;
    if (Failure failure = prepared.file.read(plan.path))
        return *failure;
    if (!sameFileVersion(prepared.file.status(), plan.info.file))
        return Problem{.reason = "the file changed after it was checked"};
    const std::span<const std::uint8_t> bytes = prepared.file.bytes();

    if (plan.embedding == Embedding::Reencoded) {
        auto jpeg = reencoded(plan, bytes, quality);
        if (!jpeg)
            return jpeg.problem();
        prepared.jpeg = std::move(*jpeg);
        prepared.file = PictureFile();
        return prepared;
    }

    const auto jpeg = parseJpeg(bytes);
    if (!jpeg)
        return jpeg.problem();
    if (jpeg->width != plan.info.width || jpeg->height != plan.info.height)
        return Problem{.reason = "the file changed while it was being converted"};
    if (plan.embedding == Embedding::Transcoded) {
        auto baseline = transcodeToBaseline(bytes.first(jpeg->end));
        if (!baseline)
            return baseline.problem();
        prepared.jpeg = std::move(*baseline);
        prepared.file = PictureFile();
        return prepared;
    }
    prepared.ranges = jpegRangesWithoutMetadata(bytes, *jpeg);
    if (Failure failure = checkEmbeddedData(prepared, *jpeg))
        return *failure;
    return prepared;
}

} // namespace

Checked<PreparedPicture> preparePicture(const PicturePlan &plan, int quality)
{
    auto prepared = prepare(plan, quality);
    if (!prepared)
        return prepared.problem().in(plan.path);
    return prepared;
}
