#include "Picture.h"

#include "MappedFile.h"

#include <cstring>

namespace {

bool startsWith(std::span<const std::uint8_t> bytes, const char *magic, std::size_t length)
{
    return bytes.size() >= length && std::memcmp(bytes.data(), magic, length) == 0;
}

} // namespace

std::optional<PictureInfo> probePictureBytes(std::span<const std::uint8_t> bytes, std::string &error,
                                             std::uint64_t maxPixels)
{
    PictureInfo info;
    try {
        if (startsWith(bytes, "\xFF\xD8\xFF", 3)) {
            auto jpeg = parseJpeg(bytes, error, JpegEnd::Quick);
            if (!jpeg)
                return std::nullopt;
            info.format = PictureFormat::Jpeg;
            info.jpeg = *jpeg;
            info.width = jpeg->width;
            info.height = jpeg->height;
        } else if (startsWith(bytes, "\x89PNG\r\n\x1a\n", 8)) {
            const Raster raster = decodePng(bytes, maxPixels);
            info.format = PictureFormat::Png;
            info.width = raster.width;
            info.height = raster.height;
        } else if (startsWith(bytes, "GIF87a", 6) || startsWith(bytes, "GIF89a", 6)) {
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

std::optional<PictureInfo> probePicture(const std::string &path, std::string &error)
{
    MappedFile file;
    if (!file.open(path, error, MappedFile::Use::Parts))
        return std::nullopt;
    auto info = probePictureBytes(file.bytes(), error);
    if (info)
        info->id = file.status().id;
    return info;
}
