// Arbitrary bytes as a picture file, through the whole preparation of one
// picture: the check, the decode and the transcode or re-encoding. It must end
// with a prepared picture or a problem, never crash, hang or read out of bounds.
#include "Layout.h"
#include "MemoryBudget.h"
#include "Prepare.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

// A picture that needs much memory only slows the search; the code is the same.
constexpr std::uint64_t kFuzzMemory = std::uint64_t(64) << 20;

const std::string &picturePath()
{
    static const std::string path = "/tmp/fuzz_probe-" + std::to_string(getpid()) + ".picture";
    return path;
}

bool writePicture(const std::uint8_t *data, std::size_t size)
{
    std::FILE *file = std::fopen(picturePath().c_str(), "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && written;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (!probePictureBytes({data, size}))
        return 0;
    if (!writePicture(data, size))
        std::abort();
    const auto info = probePicture(picturePath());
    if (!info)
        return 0;
    // At its own size (embedded as it is, transcoded or re-encoded by its
    // kind), then at half its size (always re-encoded).
    for (const Size box : {Size{0, 0}, Size{info->shownWidth() / 2 + 1, info->shownHeight() / 2 + 1}}) {
        const PicturePlan plan = planPicture(picturePath(), *info, stageSize(*info, box));
        if (memoryToPrepare(plan) <= kFuzzMemory)
            preparePicture(plan, 75);
    }
    return 0;
}
