#include "PictureFile.h"

#include <algorithm>
#include <mutex>
#include <utility>
#include <vector>

namespace {

// Fresh memory from the system is cleared page by page, and memory given back
// costs every thread of the process a flush of its address cache: paid for
// every picture, that would double the time of a run that embeds pictures as
// they are. So blocks freed are kept for the next pictures, a few of them:
// about as many as are in use at once (one per worker and the one written).
constexpr std::size_t kKeptBlocks = 8;
constexpr std::size_t kKeptBytes = 128 << 20;
constexpr std::size_t kBlockUnit = 1 << 20;   // sizes rounded up, so a block fits the next picture

std::mutex g_keptMutex;
std::vector<std::pair<std::uint8_t *, std::size_t>> g_kept;   // address and capacity
std::size_t g_keptBytes = 0;

} // namespace

std::unique_ptr<std::uint8_t[], PictureFile::Release> PictureFile::memoryFor(std::size_t size)
{
    std::pair<std::uint8_t *, std::size_t> tooSmall{nullptr, 0};
    {
        const std::lock_guard lock(g_keptMutex);
        // The smallest kept block that holds it; failing that, the largest
        // goes back, so blocks kept and in use are never more than were ever
        // in use at once.
        auto fits = g_kept.end(), largest = g_kept.end();
        for (auto block = g_kept.begin(); block != g_kept.end(); ++block) {
            if (block->second >= size && (fits == g_kept.end() || block->second < fits->second))
                fits = block;
            if (largest == g_kept.end() || block->second > largest->second)
                largest = block;
        }
        const auto chosen = fits != g_kept.end() ? fits : largest;
        if (chosen != g_kept.end()) {
            const auto block = *chosen;
            g_kept.erase(chosen);
            g_keptBytes -= block.second;
            if (block.second >= size)
                return {block.first, Release{block.second}};
            tooSmall = block;
        }
    }
    if (tooSmall.first)
        releaseSystemMemory(tooSmall.first, tooSmall.second);
    const std::size_t capacity = (size + kBlockUnit - 1) / kBlockUnit * kBlockUnit;
    return {systemMemory(capacity), Release{capacity}};
}

void PictureFile::Release::operator()(std::uint8_t *data) const
{
    {
        const std::lock_guard lock(g_keptMutex);
        if (g_kept.size() < kKeptBlocks && g_keptBytes + capacity <= kKeptBytes) {
            g_kept.emplace_back(data, capacity);
            g_keptBytes += capacity;
            return;
        }
    }
    releaseSystemMemory(data, capacity);
}
