#include "Picture.h"

#include "JpegLimits.h"
#include "PictureFile.h"
#include "PictureRows.h"

#include <cstring>

namespace {

// The header of nearly every JPEG: an EXIF segment with its thumbnail is at
// most 64 KiB. A longer header makes the check read the whole file.
constexpr std::size_t kJpegHeadBytes = 96 * 1024;

bool startsWith(std::span<const std::uint8_t> bytes, const char *magic, std::size_t length)
{
    return bytes.size() >= length && std::memcmp(bytes.data(), magic, length) == 0;
}

std::optional<PictureFormat> pictureFormatOf(std::span<const std::uint8_t> bytes)
{
    if (startsWith(bytes, "\xFF\xD8\xFF", 3))
        return PictureFormat::Jpeg;
    if (startsWith(bytes, "\x89PNG\r\n\x1a\n", 8))
        return PictureFormat::Png;
    if (startsWith(bytes, "GIF87a", 6) || startsWith(bytes, "GIF89a", 6))
        return PictureFormat::Gif;
    return std::nullopt;
}

PictureInfo jpegPicture(const JpegInfo &jpeg)
{
    PictureInfo info;
    info.format = PictureFormat::Jpeg;
    info.jpeg = jpeg;
    info.width = jpeg.width;
    info.height = jpeg.height;
    return info;
}

// A JPEG whose header lies in the start of its file and whose last bytes are
// its end-of-image marker is checked without reading the rest.
std::optional<PictureInfo> probeJpegQuickly(const PictureFile &file)
{
    const auto jpeg = parseJpegHeader(file.bytes());
    const auto last = file.lastBytes();
    if (!jpeg || std::size_t(file.status().size) < jpeg->firstScanData + 2 || last[0] != 0xFF || last[1] != 0xD9
        || !whyJpegCannotBeDecoded(*jpeg, std::size_t(file.status().size) - jpeg->firstScanData).empty())
        return std::nullopt;
    PictureInfo info = jpegPicture(*jpeg);
    info.jpeg.end = std::size_t(file.status().size);
    return info;
}

Checked<PictureInfo> rowPicture(PictureFormat format, const Checked<PictureSize> &size)
{
    if (!size)
        return size.problem();
    PictureInfo info;
    info.format = format;
    info.width = size->width;
    info.height = size->height;
    info.interlaced = size->interlaced;
    return info;
}

} // namespace

Checked<PictureInfo> probePictureBytes(std::span<const std::uint8_t> bytes)
{
    const auto format = pictureFormatOf(bytes);
    if (format == PictureFormat::Jpeg) {
        const auto jpeg = parseJpeg(bytes, JpegEnd::Quick);
        if (!jpeg)
            return jpeg.problem();
        if (std::string why = whyJpegCannotBeDecoded(*jpeg, jpeg->end - jpeg->firstScanData); !why.empty())
            return Problem{.reason = std::move(why)};
        return jpegPicture(*jpeg);
    }
    if (format == PictureFormat::Png)
        return rowPicture(PictureFormat::Png, checkPng(bytes));
    if (format == PictureFormat::Gif)
        return rowPicture(PictureFormat::Gif, checkGif(bytes));
    return Problem{.reason = "not a JPEG, PNG or GIF picture"};
}

std::optional<PictureFormat> pictureFormatOfFile(const std::string &path)
{
    PictureFile file;
    if (file.read(path, 8))
        return std::nullopt;
    return pictureFormatOf(file.bytes());
}

const char *formatName(PictureFormat format)
{
    switch (format) {
    case PictureFormat::Jpeg:
        return "JPEG";
    case PictureFormat::Png:
        return "PNG";
    case PictureFormat::Gif:
        return "GIF";
    }
    return "";
}

Checked<PictureInfo> probePicture(const std::string &path)
{
    PictureFile file;
    if (Failure failure = file.read(path, kJpegHeadBytes))
        return *failure;
    std::optional<PictureInfo> quick;
    if (!file.whole() && startsWith(file.bytes(), "\xFF\xD8\xFF", 3))
        quick = probeJpegQuickly(file);
    // Anything else is checked on the whole file.
    if (!quick && !file.whole())
        if (Failure failure = file.read(path))
            return *failure;
    Checked<PictureInfo> info = quick ? Checked<PictureInfo>(*quick) : probePictureBytes(file.bytes());
    if (!info)
        return info.problem().in(path);
    info->file = file.status();
    return info;
}
