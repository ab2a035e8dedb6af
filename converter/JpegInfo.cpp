#include "JpegInfo.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::uint8_t kSOI = 0xD8, kEOI = 0xD9, kSOS = 0xDA, kAPP0 = 0xE0, kAPP1 = 0xE1,
                       kAPP14 = 0xEE, kCOM = 0xFE, kTEM = 0x01;

std::uint16_t be16(const std::uint8_t *p)
{
    return std::uint16_t(p[0] << 8 | p[1]);
}

bool isStandalone(std::uint8_t marker)
{
    return marker == kTEM || (marker >= 0xD0 && marker <= 0xD7);   // TEM, RSTn
}

bool isFrameHeader(std::uint8_t marker)
{
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

struct Segment {
    std::uint8_t marker = 0;
    std::size_t start = 0;        // offset of the 0xFF that begins the marker
    std::size_t bodyStart = 0;    // after the length field
    std::size_t end = 0;          // past the segment
};

Problem damage(const char *reason)
{
    return Problem{.reason = reason};
}

// Walks the segments before the first scan, calling visit for each until it
// finds a problem; stops at SOS. Returns the SOS segment.
template <typename Visit>
Checked<Segment> walkHeader(std::span<const std::uint8_t> data, Visit visit)
{
    if (data.size() < 4 || data[0] != 0xFF || data[1] != kSOI)
        return damage("not a JPEG picture");
    std::size_t pos = 2;
    while (true) {
        if (pos >= data.size() || data[pos] != 0xFF)
            return damage(pos >= data.size() ? "truncated JPEG header" : "damaged JPEG header");
        const std::size_t start = pos;
        while (pos < data.size() && data[pos] == 0xFF)
            ++pos;   // fill bytes
        if (pos >= data.size())
            return damage("truncated JPEG header");
        const std::uint8_t marker = data[pos++];
        if (isStandalone(marker))
            continue;
        if (marker == kEOI || marker == kSOI || marker == 0x00)
            return damage("damaged JPEG header: no picture data");
        if (pos + 2 > data.size())
            return damage("truncated JPEG header");
        const std::size_t length = be16(&data[pos]);
        if (length < 2 || pos + length > data.size())
            return damage(length < 2 ? "damaged JPEG header" : "truncated JPEG header");
        const Segment segment{marker, start, pos + 2, pos + length};
        if (marker == kSOS)
            return segment;
        if (Failure problem = visit(segment))
            return *problem;
        pos = segment.end;
    }
}

Failure readFrameHeader(std::span<const std::uint8_t> body, std::uint8_t marker, JpegInfo &info)
{
    switch (marker) {
    case 0xC0: info.process = JpegProcess::Baseline; break;
    case 0xC1: info.process = JpegProcess::ExtendedSequential; break;
    case 0xC2: info.process = JpegProcess::Progressive; break;
    case 0xC9:
    case 0xCA: info.process = JpegProcess::Arithmetic; break;
    default:
        return damage("lossless or hierarchical JPEG is not supported");
    }
    if (body.size() < 6)
        return damage("damaged JPEG frame header");
    info.precision = body[0];
    info.height = be16(&body[1]);
    info.width = be16(&body[3]);
    info.components = body[5];
    if (info.precision != 8)
        return Problem{.reason = std::to_string(info.precision) + "-bit JPEG samples are not supported"};
    if (info.width == 0 || info.height == 0)
        return damage("JPEG without a picture size");
    if (info.width > kMaxJpegSide || info.height > kMaxJpegSide)
        return Problem{.reason = tooLargeForJpeg(info.width, info.height)};
    if (info.components != 1 && info.components != 3 && info.components != 4)
        return Problem{.reason = "JPEG with " + std::to_string(info.components) + " colour components is not supported"};
    if (body.size() < 6 + 3 * std::size_t(info.components))
        return damage("damaged JPEG frame header");
    std::uint8_t ids[4] = {};
    for (int c = 0; c < info.components; ++c) {
        ids[c] = body[6 + 3 * c];
        const int h = body[7 + 3 * c] >> 4, v = body[7 + 3 * c] & 15;
        if (h < 1 || h > 4 || v < 1 || v > 4)
            return damage("damaged JPEG frame header: bad sampling factors");
        info.hSampling[std::size_t(c)] = std::uint8_t(h);
        info.vSampling[std::size_t(c)] = std::uint8_t(v);
        const bool usual = c == 0 ? (h <= 2 && v <= 2) : (h == 1 && v == 1);
        info.standardSampling = info.standardSampling && usual;
    }
    if (info.components == 3 && ids[0] == 'R' && ids[1] == 'G' && ids[2] == 'B')
        info.rgbColour = true;
    return std::nullopt;
}

} // namespace

std::string tooLargeForJpeg(int width, int height)
{
    return std::to_string(width) + " x " + std::to_string(height)
        + " pixels: larger than a JPEG decoder reads (at most " + std::to_string(kMaxJpegSide) + " a side)";
}

int exifOrientation(std::span<const std::uint8_t> app1)
{
    static const std::uint8_t kExif[6] = {'E', 'x', 'i', 'f', 0, 0};
    if (app1.size() < 6 + 8 || std::memcmp(app1.data(), kExif, 6) != 0)
        return 1;
    const std::span<const std::uint8_t> tiff = app1.subspan(6);
    const bool little = tiff[0] == 'I' && tiff[1] == 'I';
    if (!little && !(tiff[0] == 'M' && tiff[1] == 'M'))
        return 1;
    auto u16 = [&](std::size_t at) -> std::uint32_t {
        return little ? tiff[at] | tiff[at + 1] << 8 : tiff[at] << 8 | tiff[at + 1];
    };
    auto u32 = [&](std::size_t at) -> std::uint32_t {
        return little ? u16(at) | u16(at + 2) << 16 : u16(at) << 16 | u16(at + 2);
    };
    const std::uint32_t ifd = u32(4);
    if (ifd > tiff.size() || tiff.size() - ifd < 2)
        return 1;
    const std::uint32_t entries = u16(ifd);
    for (std::uint32_t i = 0; i < entries; ++i) {
        const std::size_t entry = ifd + 2 + std::size_t(i) * 12;
        if (entry + 12 > tiff.size())
            return 1;
        if (u16(entry) == 0x0112 && u16(entry + 2) == 3) {   // Orientation, SHORT
            const std::uint32_t value = u16(entry + 8);
            return value >= 1 && value <= 8 ? int(value) : 1;
        }
    }
    return 1;
}

Checked<JpegInfo> parseJpegHeader(std::span<const std::uint8_t> data)
{
    JpegInfo info;
    bool haveFrame = false, haveExif = false;
    std::uint8_t frameMarker = 0;
    int adobeTransform = -1;
    const auto scan = walkHeader(data, [&](const Segment &segment) -> Failure {
        const auto body = data.subspan(segment.bodyStart, segment.end - segment.bodyStart);
        if (isFrameHeader(segment.marker)) {
            if (haveFrame)
                return damage("damaged JPEG header: two frame headers");
            haveFrame = true;
            frameMarker = segment.marker;
            return readFrameHeader(body, segment.marker, info);
        }
        if (segment.marker == kAPP1 && !haveExif && body.size() >= 6 && std::memcmp(body.data(), "Exif", 4) == 0) {
            haveExif = true;
            info.orientation = exifOrientation(body);
        } else if (segment.marker == kAPP14 && body.size() >= 12 && std::memcmp(body.data(), "Adobe", 5) == 0) {
            adobeTransform = body[11];
        }
        return std::nullopt;
    });
    if (!scan)
        return scan.problem();
    if (!haveFrame)
        return damage("damaged JPEG header: no frame header");
    if (info.components == 3 && adobeTransform == 0)
        info.rgbColour = true;
    else if (info.components == 3 && adobeTransform > 0)
        info.rgbColour = false;
    info.firstScan = scan->start;
    info.firstScanData = scan->end;
    const bool progressive = frameMarker == 0xC2 || frameMarker == 0xCA;
    info.multiScan = progressive || scan->end == scan->bodyStart || data[scan->bodyStart] < info.components;
    return info;
}

Checked<JpegInfo> parseJpeg(std::span<const std::uint8_t> data, JpegEnd end)
{
    auto info = parseJpegHeader(data);
    if (!info)
        return info;
    if (end == JpegEnd::Quick && data.size() >= info->firstScanData + 2 && data[data.size() - 2] == 0xFF
        && data.back() == kEOI) {
        info->end = data.size();
        return info;
    }
    // The picture must run to its end-of-image marker. In entropy-coded data a
    // 0xFF byte is always followed by 0x00, a restart marker or a real marker.
    const std::uint8_t *begin = data.data();
    const std::uint8_t *at = begin + info->firstScanData;
    const std::uint8_t *last = begin + data.size();
    while (at < last) {
        at = static_cast<const std::uint8_t *>(std::memchr(at, 0xFF, std::size_t(last - at)));
        if (!at || at + 1 >= last)
            break;
        if (at[1] == kEOI) {
            info->end = std::size_t(at - begin) + 2;
            return info;
        }
        at += 1;
    }
    return damage("truncated JPEG: the picture data ends early");
}

std::vector<std::pair<std::size_t, std::size_t>> jpegRangesWithoutMetadata(
    std::span<const std::uint8_t> data, const JpegInfo &info)
{
    std::vector<std::pair<std::size_t, std::size_t>> ranges{{0, 2}};   // SOI
    walkHeader(data, [&](const Segment &segment) -> Failure {
        const bool metadata = (segment.marker >= kAPP0 && segment.marker <= 0xEF && segment.marker != kAPP14)
            || segment.marker == kCOM;
        if (!metadata) {
            if (!ranges.empty() && ranges.back().second == segment.start)
                ranges.back().second = segment.end;
            else
                ranges.emplace_back(segment.start, segment.end);
        }
        return std::nullopt;
    });
    if (ranges.back().second == info.firstScan)
        ranges.back().second = info.end;
    else
        ranges.emplace_back(info.firstScan, info.end);
    return ranges;
}

std::pair<int, int> largestSampling(const JpegInfo &info)
{
    int across = 1, down = 1;
    for (int c = 0; c < info.components; ++c) {
        across = std::max<int>(across, info.hSampling[std::size_t(c)]);
        down = std::max<int>(down, info.vSampling[std::size_t(c)]);
    }
    return {across, down};
}
