#include "JpegLimits.h"

#include "MemoryBudget.h"

#include <algorithm>
#include <climits>

#include <jerror.h>

namespace {

constexpr std::uint64_t kBlocksWithoutData = 16'000'000;   // a second or two at worst
constexpr std::uint64_t kBlocksPerByte = 64;

// An error of this program's own, also in libjpeg's message table.
constexpr int kTooMuchWork = 1000;
const char *const kMessages[] = {
    "too much work to decode for its size: over %d million blocks from %d bytes of picture data", nullptr};

std::uint64_t blocksAllowed(std::uint64_t dataBytes)
{
    return kBlocksWithoutData + kBlocksPerByte * dataBytes;
}

int clampedInt(std::uint64_t value)
{
    return int(std::min<std::uint64_t>(value, INT_MAX));
}

std::uint64_t ceilDiv(std::uint64_t a, std::uint64_t b)
{
    return (a + b - 1) / b;
}

// Warnings about metadata that is not copied (an unknown JFIF revision or
// Adobe colour transform code) leave the picture as it is. The others are
// counted, so the error handler can tell damaged data from an error.
void stopOnWarning(j_common_ptr codec, int level)
{
    const int code = codec->err->msg_code;
    if (level < 0 && code != JWRN_JFIF_MAJOR && code != JWRN_ADOBE_XFORM) {
        ++codec->err->num_warnings;
        codec->err->error_exit(codec);
    }
}

void countScanWork(j_common_ptr common)
{
    auto *codec = reinterpret_cast<j_decompress_ptr>(common);
    auto *limit = reinterpret_cast<JpegWorkLimit *>(codec->progress);
    if (codec->input_scan_number == limit->scan || codec->comps_in_scan < 1)
        return;
    limit->scan = codec->input_scan_number;
    for (int i = 0; i < codec->comps_in_scan; ++i)
        limit->blocksDecoded += std::uint64_t(codec->cur_comp_info[i]->width_in_blocks)
            * codec->cur_comp_info[i]->height_in_blocks;
    if (limit->blocksDecoded > limit->blocksAllowed) {
        jpeg_error_mgr *err = codec->err;
        err->msg_code = kTooMuchWork;
        err->msg_parm.i[0] = clampedInt(limit->blocksAllowed / 1'000'000);
        err->msg_parm.i[1] = clampedInt(limit->dataBytes);
        err->error_exit(common);
    }
}

} // namespace

std::string whyJpegCannotBeDecoded(const JpegInfo &info, std::uint64_t dataBytes)
{
    const auto [hMax, vMax] = largestSampling(info);
    std::uint64_t blocks = 0;
    for (int c = 0; c < info.components; ++c) {
        const std::uint64_t width = ceilDiv(std::uint64_t(info.width) * info.hSampling[std::size_t(c)], hMax);
        const std::uint64_t height = ceilDiv(std::uint64_t(info.height) * info.vSampling[std::size_t(c)], vMax);
        blocks += ceilDiv(width, 8) * ceilDiv(height, 8);
    }
    // Arithmetic coding can spend less than a bit on a block.
    if (info.process != JpegProcess::Arithmetic && dataBytes * 8 < blocks)
        return "truncated JPEG: " + std::to_string(dataBytes) + " bytes of picture data cannot hold its declared size of "
            + std::to_string(info.width) + " x " + std::to_string(info.height);
    if (blocks > blocksAllowed(dataBytes)) {
        char text[JMSG_LENGTH_MAX];
        std::snprintf(text, sizeof text, kMessages[0], clampedInt(blocksAllowed(dataBytes) / 1'000'000),
                      clampedInt(dataBytes));
        return text;
    }
    return {};
}

void limitJpegDecoding(jpeg_decompress_struct &codec, JpegWorkLimit &limit, std::uint64_t dataBytes)
{
    codec.err->emit_message = stopOnWarning;
    codec.err->addon_message_table = kMessages;
    codec.err->first_addon_message = kTooMuchWork;
    codec.err->last_addon_message = kTooMuchWork;
    limit.progress.progress_monitor = countScanWork;
    limit.blocksAllowed = blocksAllowed(dataBytes);
    limit.dataBytes = dataBytes;
    codec.progress = &limit.progress;
    // The coefficients of a multi-scan picture fit the budget (checked
    // before): past it libjpeg would ask for a backing store and fail.
    codec.mem->max_memory_to_use = long(kPreparationMemory);
}
