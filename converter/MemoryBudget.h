#pragma once

// The memory that preparing pictures (decoding, shrinking, encoding) may take
// at once, shared by every worker. What a picture needs is known from its
// header before any of that work: a picture that needs more than the whole
// budget is refused, and one that needs more than is free waits until pictures
// before it are done.

#include "Problem.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>

struct JpegInfo;
struct PicturePlan;

constexpr std::uint64_t kPreparationMemory = std::uint64_t(512) << 20;

// The memory preparing this picture takes at most, its file's bytes aside.
std::uint64_t memoryToPrepare(const PicturePlan &plan);
// The memory libjpeg takes at most to decode a JPEG at a DCT scale of
// eighths / 8: every coefficient of a multi-scan file, and a band of rows.
std::uint64_t memoryToDecodeJpeg(const JpegInfo &info, int eighths);

// "needs N MiB to decode; the limit is M MiB", or empty when it fits.
std::string whyOverBudget(std::uint64_t bytes, std::uint64_t budget = kPreparationMemory);
// That reason as a problem when the bytes do not fit.
Failure refuseOverBudget(std::uint64_t bytes);

class MemoryBudget
{
public:
    explicit MemoryBudget(std::uint64_t bytes) : m_total(bytes) {}
    MemoryBudget(const MemoryBudget &) = delete;
    MemoryBudget &operator=(const MemoryBudget &) = delete;

    // Memory taken from the budget until it is destroyed.
    class Share
    {
    public:
        Share(MemoryBudget &budget, std::uint64_t bytes) : m_budget(&budget), m_bytes(bytes) {}
        Share(Share &&other) noexcept : m_budget(other.m_budget), m_bytes(other.m_bytes) { other.m_budget = nullptr; }
        Share &operator=(Share &&) = delete;
        ~Share();

    private:
        MemoryBudget *m_budget;
        std::uint64_t m_bytes;
    };

    // Waits, in the order asked, until the bytes are free and takes them.
    // Fails at once when they are more than the whole budget.
    Checked<Share> take(std::uint64_t bytes);

    // The budget of the converter's preparation of pictures.
    static MemoryBudget &forPreparing();

private:
    std::uint64_t m_total;
    std::uint64_t m_used = 0;
    std::uint64_t m_nextTicket = 0;
    std::uint64_t m_serving = 0;
    std::mutex m_mutex;
    std::condition_variable m_changed;
};
