#include "Picture.h"

#include "PictureFile.h"

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
    std::string ignored;
    const auto jpeg = parseJpegHeader(file.bytes(), ignored);
    const auto last = file.lastBytes();
    if (!jpeg || std::size_t(file.status().size) < jpeg->firstScanData + 2 || last[0] != 0xFF || last[1] != 0xD9)
        return std::nullopt;
    PictureInfo info = jpegPicture(*jpeg);
    info.jpeg.end = std::size_t(file.status().size);
    return info;
}

} // namespace

std::optional<PictureInfo> probePictureBytes(std::span<const std::uint8_t> bytes, std::string &error,
                                             std::uint64_t maxPixels)
{
    PictureInfo info;
    try {
        const auto format = pictureFormatOf(bytes);
        if (format == PictureFormat::Jpeg) {
            auto jpeg = parseJpeg(bytes, error, JpegEnd::Quick);
            if (!jpeg)
                return std::nullopt;
            info = jpegPicture(*jpeg);
        } else if (format == PictureFormat::Png) {
            const Raster raster = decodePng(bytes, maxPixels);
            info.format = PictureFormat::Png;
            info.width = raster.width;
            info.height = raster.height;
        } else if (format == PictureFormat::Gif) {
            const Raster raster = decodeGif(bytes, maxPixels);
            info.format = PictureFormat::Gif;
            info.width = raster.width;
            info.height = raster.height;
        } else {
            error = "not a JPEG, PNG or GIF picture";
            return std::nullopt;
        }
    } catch (const CodecError &e) {
        error = e.what();
        return std::nullopt;
    }
    return info;
}

std::optional<PictureFormat> pictureFormatOfFile(const std::string &path)
{
    PictureFile file;
    std::string ignored;
    if (!file.read(path, ignored, 8))
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

std::optional<PictureInfo> probePicture(const std::string &path, std::string &error)
{
    PictureFile file;
    if (!file.read(path, error, kJpegHeadBytes))
        return std::nullopt;
    std::optional<PictureInfo> info;
    if (!file.whole() && startsWith(file.bytes(), "\xFF\xD8\xFF", 3))
        info = probeJpegQuickly(file);
    if (!info) {
        // Anything else is checked on the whole file.
        if (!file.whole() && !file.read(path, error))
            return std::nullopt;
        info = probePictureBytes(file.bytes(), error);
    }
    if (info)
        info->file = file.status();
    return info;
}
