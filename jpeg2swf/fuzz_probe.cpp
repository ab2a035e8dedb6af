// Arbitrary bytes into the picture prober, and what it accepts into the
// decoders that prepare it: each must answer with a picture or a reason, never
// crash, hang or read out of bounds.
#include "Layout.h"
#include "MemoryBudget.h"
#include "PictureRows.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::span<const std::uint8_t> bytes(data, size);
    std::string error;
    const auto info = probePictureBytes(bytes, error);
    if (!info)
        return 0;
    if (info->format == PictureFormat::Jpeg)
        jpegRangesWithoutMetadata(bytes, info->jpeg);
    // Shown small, as a picture after a small first one; one that needs much
    // memory only slows the search.
    const PicturePlan plan = planPicture("fuzz", *info, {64, 48});
    if (memoryToPrepare(plan) > (std::uint64_t(64) << 20))
        return 0;
    const Size stored = plan.stored();
    try {
        switch (info->format) {
        case PictureFormat::Jpeg:
            shrinkJpeg(bytes, info->jpeg, stored.width, stored.height);
            if (info->jpeg.losslesslyTranscodable())
                transcodeToBaseline(bytes.first(info->jpeg.end));
            break;
        case PictureFormat::Png:
            shrinkPng(bytes, stored.width, stored.height);
            break;
        case PictureFormat::Gif:
            shrinkGif(bytes, stored.width, stored.height);
            break;
        }
    } catch (const CodecError &) {
    }
    return 0;
}
