#include "MemoryBudget.h"

#include "Layout.h"
#include "PictureRows.h"
#include "RowReducer.h"

namespace {

constexpr std::uint64_t kMiB = std::uint64_t(1) << 20;
constexpr std::uint64_t kCodecState = kMiB;   // tables, pools, a few rows

std::uint64_t ceilDiv(std::uint64_t a, std::uint64_t b)
{
    return (a + b - 1) / b;
}

std::uint64_t pixels(Size size)
{
    return std::uint64_t(size.width) * std::uint64_t(size.height);
}

// Every DCT coefficient of the picture, as libjpeg holds them for a file of
// several scans and for a lossless transcode: 128 bytes a block, each
// component padded to whole MCUs.
std::uint64_t coefficientBytes(const JpegInfo &info)
{
    const auto [hMax, vMax] = largestSampling(info);
    std::uint64_t bytes = 0;
    for (int c = 0; c < info.components; ++c) {
        const std::uint64_t h = info.hSampling[std::size_t(c)], v = info.vSampling[std::size_t(c)];
        const std::uint64_t columns = ceilDiv(ceilDiv(std::uint64_t(info.width) * h, 8 * std::uint64_t(hMax)), h) * h;
        const std::uint64_t rows = ceilDiv(ceilDiv(std::uint64_t(info.height) * v, 8 * std::uint64_t(vMax)), v) * v;
        bytes += columns * rows * 128;
    }
    return bytes;
}

// libjpeg's buffers for decoding one band of rows: at most two rows of MCUs of
// 16 pixels, four components, with room for upsampling and colour conversion.
std::uint64_t decodingRows(std::uint64_t width)
{
    return width * 4 * 16 * 2 * 3;
}

// The shrunk picture, its JPEG encoding (which grows by doubling) and the copy
// that is kept.
std::uint64_t shrinkingAndEncoding(std::uint64_t sourceWidth, Size stored)
{
    return RowReducer::workingBytes(int(sourceWidth), stored.width) + pixels(stored) * 3 * 3;
}

} // namespace

std::uint64_t memoryToPrepare(const PicturePlan &plan)
{
    const PictureInfo &info = plan.info;
    const Size stored = plan.stored();
    const auto width = std::uint64_t(info.width), height = std::uint64_t(info.height);
    switch (info.format) {
    case PictureFormat::Jpeg: {
        const std::uint64_t coefficients = coefficientBytes(info.jpeg);
        if (plan.embedding == Embedding::AsIs)   // decoded at 1/8 scale as a check
            return memoryToDecodeJpeg(info.jpeg, 1);
        if (plan.embedding == Embedding::Transcoded)   // and the baseline file written from them
            return kCodecState + coefficients + std::max(2 * info.file.size, coefficients / 4);
        const int eighths = jpegScaleEighths(info.jpeg, stored.width, stored.height);
        return memoryToDecodeJpeg(info.jpeg, eighths)
            + shrinkingAndEncoding(ceilDiv(width * std::uint64_t(eighths), 8), stored);
    }
    case PictureFormat::Png:
        // libpng's rows of up to 8 bytes a pixel and ours; an interlaced
        // picture whole.
        return kCodecState + width * 8 * 4 + (info.interlaced ? width * height * kInterlacedPngBytes : 0)
            + shrinkingAndEncoding(width, stored);
    case PictureFormat::Gif:
        // A frame row of up to 65535 indices and a screen row; an interlaced
        // frame's part on the screen.
        return kCodecState + 65536 + width * 3 + (info.interlaced ? width * height * kInterlacedGifBytes : 0)
            + shrinkingAndEncoding(width, stored);
    }
    return kCodecState;
}

std::uint64_t memoryToDecodeJpeg(const JpegInfo &info, int eighths)
{
    const std::uint64_t scaledWidth = ceilDiv(std::uint64_t(info.width) * std::uint64_t(eighths), 8);
    return kCodecState + (info.multiScan ? coefficientBytes(info) : 0) + decodingRows(scaledWidth);
}

std::string whyOverBudget(std::uint64_t bytes, std::uint64_t budget)
{
    if (bytes <= budget)
        return {};
    return "needs " + std::to_string(ceilDiv(bytes, kMiB)) + " MiB to decode; the limit is "
        + std::to_string(budget / kMiB) + " MiB";
}

Failure refuseOverBudget(std::uint64_t bytes)
{
    if (std::string why = whyOverBudget(bytes); !why.empty())
        return Problem{.reason = std::move(why)};
    return std::nullopt;
}

MemoryBudget::Share::~Share()
{
    if (!m_budget)
        return;
    {
        const std::lock_guard lock(m_budget->m_mutex);
        m_budget->m_used -= m_bytes;
    }
    m_budget->m_changed.notify_all();
}

Checked<MemoryBudget::Share> MemoryBudget::take(std::uint64_t bytes)
{
    if (std::string why = whyOverBudget(bytes, m_total); !why.empty())
        return Problem{.reason = std::move(why)};
    std::unique_lock lock(m_mutex);
    const std::uint64_t ticket = m_nextTicket++;
    m_changed.wait(lock, [&] { return m_serving == ticket && m_used + bytes <= m_total; });
    m_used += bytes;
    ++m_serving;
    lock.unlock();
    m_changed.notify_all();
    return Share(*this, bytes);
}

MemoryBudget &MemoryBudget::forPreparing()
{
    static MemoryBudget budget(kPreparationMemory);
    return budget;
}
