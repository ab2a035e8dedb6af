#include "TestPictures.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <iterator>
#include <stdexcept>

#include <gif_lib.h>
#include <jpeglib.h>
#include <png.h>
#include <zlib.h>

namespace testpictures {

namespace {

std::vector<std::uint8_t> pattern(int width, int height, Colour colour, int channels)
{
    std::vector<std::uint8_t> pixels(std::size_t(width) * std::size_t(height) * std::size_t(channels));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int wobble = ((x + y) % 16) - 8;   // mean 0 across the picture
            const std::uint8_t base[3] = {colour.r, colour.g, colour.b};
            for (int c = 0; c < std::min(channels, 3); ++c) {
                const int value = std::clamp(base[c] + wobble, 0, 255);
                pixels[(std::size_t(y) * std::size_t(width) + std::size_t(x)) * std::size_t(channels) + std::size_t(c)]
                    = std::uint8_t(value);
            }
        }
    return pixels;
}

} // namespace

Bytes makeJpeg(int width, int height, Colour colour, JpegKind kind, Chroma chroma, int quality)
{
    jpeg_compress_struct codec;
    jpeg_error_mgr errors;
    codec.err = jpeg_std_error(&errors);
    jpeg_create_compress(&codec);
    unsigned char *out = nullptr;
    unsigned long outSize = 0;
    jpeg_mem_dest(&codec, &out, &outSize);

    codec.image_width = JDIMENSION(width);
    codec.image_height = JDIMENSION(height);
    std::vector<std::uint8_t> pixels;
    if (kind == JpegKind::Greyscale) {
        codec.input_components = 1;
        codec.in_color_space = JCS_GRAYSCALE;
        const Colour grey{colour.r, colour.r, colour.r};
        pixels = pattern(width, height, grey, 1);
    } else if (kind == JpegKind::Cmyk || kind == JpegKind::ProgressiveCmyk) {
        codec.input_components = 4;
        codec.in_color_space = JCS_CMYK;
        // Adobe's inverted CMYK of the colour: C' = R, M' = G, Y' = B, K' = 255.
        pixels = pattern(width, height, colour, 4);
        for (std::size_t i = 3; i < pixels.size(); i += 4)
            pixels[i] = 255;
    } else {
        codec.input_components = 3;
        codec.in_color_space = JCS_RGB;
        pixels = pattern(width, height, colour, 3);
    }
    jpeg_set_defaults(&codec);
    jpeg_set_quality(&codec, quality, TRUE);
    if (codec.num_components == 3) {
        const int h = chroma == Chroma::S420 ? 2 : 1;
        codec.comp_info[0].h_samp_factor = h;
        codec.comp_info[0].v_samp_factor = h;
    }
    if (kind == JpegKind::Progressive || kind == JpegKind::ArithmeticProgressive || kind == JpegKind::ProgressiveCmyk)
        jpeg_simple_progression(&codec);
    if (kind == JpegKind::Arithmetic || kind == JpegKind::ArithmeticProgressive)
        codec.arith_code = TRUE;

    jpeg_start_compress(&codec, TRUE);
    const std::size_t stride = std::size_t(width) * std::size_t(codec.input_components);
    while (codec.next_scanline < codec.image_height) {
        JSAMPROW row = &pixels[codec.next_scanline * stride];
        jpeg_write_scanlines(&codec, &row, 1);
    }
    jpeg_finish_compress(&codec);
    jpeg_destroy_compress(&codec);
    Bytes result(out, out + outSize);
    std::free(out);
    return result;
}

Bytes withExif(const Bytes &jpeg, int orientation)
{
    // TIFF, little-endian, IFD0 with Orientation and BodySerialNumber (ASCII).
    const char serial[] = "CAMERA-SERIAL-0042";
    Bytes tiff = {'I', 'I', 42, 0, 8, 0, 0, 0, 2, 0};
    auto u16 = [&](int v) { tiff.push_back(std::uint8_t(v)); tiff.push_back(std::uint8_t(v >> 8)); };
    auto u32 = [&](int v) { u16(v & 0xFFFF); u16(v >> 16); };
    u16(0x0112); u16(3); u32(1); u16(orientation); u16(0);
    u16(0xA431); u16(2); u32(int(sizeof serial)); u32(8 + 2 + 2 * 12 + 4);
    u32(0);   // no next IFD
    tiff.insert(tiff.end(), serial, serial + sizeof serial);

    Bytes app1 = {'E', 'x', 'i', 'f', 0, 0};
    app1.insert(app1.end(), tiff.begin(), tiff.end());
    Bytes out(jpeg.begin(), jpeg.begin() + 2);
    const std::size_t length = app1.size() + 2;
    out.insert(out.end(), {0xFF, 0xE1, std::uint8_t(length >> 8), std::uint8_t(length)});
    out.insert(out.end(), app1.begin(), app1.end());
    const char comment[] = "shot at 51.5N 0.1W";
    out.insert(out.end(), {0xFF, 0xFE, 0, std::uint8_t(sizeof comment + 2)});
    out.insert(out.end(), comment, comment + sizeof comment);
    out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
    return out;
}

Bytes damaged(const Bytes &jpeg, Damage damage)
{
    Bytes out(jpeg.begin(), jpeg.begin() + 2);
    std::size_t at = 2;
    bool huffmanDamaged = false;
    while (true) {   // the segments before the first scan, as libjpeg writes them
        const std::uint8_t marker = jpeg[at + 1];
        const std::size_t end = at + 2 + std::size_t(jpeg[at + 2] << 8 | jpeg[at + 3]);
        Bytes segment(jpeg.begin() + std::ptrdiff_t(at), jpeg.begin() + std::ptrdiff_t(end));
        if (marker == 0xDA)
            break;
        if (marker == 0xC0 || marker == 0xC2) {   // frame header: each component's table 0xFF
            if (damage == Damage::FrameNamesTable255)
                for (std::size_t c = 0; c < segment[9]; ++c)
                    segment[12 + 3 * c] = 0xFF;
        } else if (marker == 0xC4 && damage == Damage::OversubscribedHuffman && !huffmanDamaged) {
            // Three codes of length 1 where there is room for two: taken from length 3.
            segment[5] = std::uint8_t(segment[5] + 3);
            segment[7] = std::uint8_t(segment[7] - 3);
            huffmanDamaged = true;
        }
        if (!(marker == 0xDB && damage == Damage::NoQuantTable))
            out.insert(out.end(), segment.begin(), segment.end());
        at = end;
    }
    Bytes scans(jpeg.begin() + std::ptrdiff_t(at), jpeg.end() - 2);
    if (damage == Damage::ScanCutShort)
        scans.resize(scans.size() / 2);
    if (damage == Damage::JunkBeforeEnd)
        scans.insert(scans.end(), 64, 0x55);
    out.insert(out.end(), scans.begin(), scans.end());
    out.insert(out.end(), {0xFF, 0xD9});
    return out;
}

Bytes withDeclaredSize(const Bytes &jpeg, int width, int height)
{
    Bytes out = jpeg;
    for (std::size_t at = 2; at + 9 < out.size(); at += 2 + std::size_t(out[at + 2] << 8 | out[at + 3])) {
        const int marker = out[at + 1];
        if (marker == 0xC0 || marker == 0xC1 || marker == 0xC2 || marker == 0xC9 || marker == 0xCA) {
            out[at + 5] = std::uint8_t(height >> 8);
            out[at + 6] = std::uint8_t(height);
            out[at + 7] = std::uint8_t(width >> 8);
            out[at + 8] = std::uint8_t(width);
            return out;
        }
    }
    throw std::runtime_error("no frame header");
}

namespace {

void appendPng(png_structp png, png_bytep data, png_size_t length)
{
    auto *out = static_cast<Bytes *>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

// A PNG of `height` copies of one row, written row by row, so a large one
// costs no more memory than its file.
Bytes pngOfOneRow(int width, int height, int bitDepth, int colourType, int level, const std::vector<png_byte> &row)
{
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &out, appendPng, nullptr);
    png_set_compression_level(png, level);
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), bitDepth, colourType, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y)
        png_write_row(png, row.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

} // namespace

Bytes makeBilevelPng(int width, int height)
{
    std::vector<png_byte> row(std::size_t(width + 7) / 8, 0);
    std::fill(row.begin(), row.begin() + std::ptrdiff_t(width / 16), 0xFF);
    return pngOfOneRow(width, height, 1, PNG_COLOR_TYPE_GRAY, 1, row);
}

Bytes makeFlatPng(int width, int height)
{
    return pngOfOneRow(width, height, 8, PNG_COLOR_TYPE_RGB, 9, std::vector<png_byte>(std::size_t(width) * 3, 90));
}

Bytes makeInterlacedPngHeader(int width, int height)
{
    Bytes out = makePng(1, 1, {0, 0, 0});
    // IHDR: width and height at 16, interlace method at 28, its CRC at 29.
    for (int i = 0; i < 4; ++i) {
        out[std::size_t(16 + i)] = std::uint8_t(std::uint32_t(width) >> (24 - 8 * i));
        out[std::size_t(20 + i)] = std::uint8_t(std::uint32_t(height) >> (24 - 8 * i));
    }
    out[28] = 1;
    const uLong crc = crc32(0, &out[12], 17);
    for (int i = 0; i < 4; ++i)
        out[std::size_t(29 + i)] = std::uint8_t(crc >> (24 - 8 * i));
    return out;
}

Bytes makePng(int width, int height, Colour colour, bool halfTransparent)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(width);
    image.height = png_uint_32(height);
    image.format = PNG_FORMAT_RGBA;
    std::vector<std::uint8_t> pixels(std::size_t(width) * std::size_t(height) * 4);
    for (std::size_t i = 0; i < pixels.size(); i += 4) {
        pixels[i] = colour.r;
        pixels[i + 1] = colour.g;
        pixels[i + 2] = colour.b;
        pixels[i + 3] = halfTransparent && (i / 4) % std::size_t(width) >= std::size_t(width) / 2 ? 0 : 255;
    }
    png_alloc_size_t size = 0;
    png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, nullptr);
    Bytes out(size);
    if (!png_image_write_to_memory(&image, out.data(), &size, 0, pixels.data(), 0, nullptr))
        throw std::runtime_error("cannot write PNG");
    out.resize(size);
    return out;
}

namespace {

int appendGif(GifFileType *gif, const GifByteType *data, int length)
{
    auto *out = static_cast<Bytes *>(gif->UserData);
    out->insert(out->end(), data, data + length);
    return length;
}

} // namespace

Bytes makeGif(int width, int height, Colour colour)
{
    Bytes out;
    int error = 0;
    GifFileType *gif = EGifOpen(&out, appendGif, &error);
    GifColorType colours[2] = {{colour.r, colour.g, colour.b}, {0, 0, 0}};
    ColorMapObject *map = GifMakeMapObject(2, colours);
    EGifPutScreenDesc(gif, width, height, 1, 0, map);
    EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr);
    std::vector<GifPixelType> line(std::size_t(width), 0);
    for (int y = 0; y < height; ++y)
        EGifPutLine(gif, line.data(), width);
    // A second frame of the other colour: only the first may be shown.
    EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr);
    std::fill(line.begin(), line.end(), 1);
    for (int y = 0; y < height; ++y)
        EGifPutLine(gif, line.data(), width);
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
    return out;
}

Bytes makeFramedGif(int screenWidth, int screenHeight, int frameWidth, int frameHeight, Colour colour,
                    bool interlaced, int rows)
{
    Bytes out;
    int error = 0;
    GifFileType *gif = EGifOpen(&out, appendGif, &error);
    GifColorType colours[2] = {{colour.r, colour.g, colour.b}, {0, 0, 0}};
    ColorMapObject *map = GifMakeMapObject(2, colours);
    EGifPutScreenDesc(gif, screenWidth, screenHeight, 1, 1, map);
    EGifPutImageDesc(gif, 0, 0, frameWidth, frameHeight, interlaced, nullptr);
    std::vector<GifPixelType> line(std::size_t(frameWidth), 0);
    for (int y = 0; y < rows; ++y)
        EGifPutLine(gif, line.data(), frameWidth);
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
    return out;
}

void writeFile(const std::string &path, const Bytes &bytes)
{
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char *>(bytes.data()), std::streamsize(bytes.size()));
    if (!file)
        throw std::runtime_error("cannot write " + path);
}

TemporaryFolder::TemporaryFolder(const std::filesystem::path &name)
    : path(std::filesystem::temp_directory_path()
           / (std::filesystem::path(name) += std::to_string(std::random_device{}())))
{
    std::filesystem::create_directories(path);
}

TemporaryFolder::~TemporaryFolder()
{
    std::error_code ignored;   // what a failed run left open stays
    std::filesystem::remove_all(path, ignored);
}

Bytes readFile(const std::string &path)
{
    std::ifstream file(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), {});
}

} // namespace testpictures
