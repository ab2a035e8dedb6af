// Makes the pictures of the memory and time bounds benchmark:
//   make_hostile DIR
// JPEGs whose frame header declares far more than their data holds, arithmetic
// ones that cost almost nothing to store, huge interlaced PNG and GIF headers,
// and large PNG and GIF pictures that must convert.
#include "TestPictures.h"

#include <cstdio>
#include <string>
#include <vector>

#include <png.h>

using namespace testpictures;

namespace {

void appendPng(png_structp png, png_bytep data, png_size_t length)
{
    auto *out = static_cast<Bytes *>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

// RGB of one colour at the best compression: about 1,000 bytes of pixels a byte.
Bytes flatPng(int width, int height)
{
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &out, appendPng, nullptr);
    png_set_compression_level(png, 9);
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<png_byte> row(std::size_t(width) * 3, 90);
    for (int y = 0; y < height; ++y)
        png_write_row(png, row.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_hostile DIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    const Colour grey{120, 120, 120};
    const Bytes progressive = makeJpeg(64, 48, grey, JpegKind::Progressive);
    const Bytes cmyk = makeJpeg(64, 48, grey, JpegKind::ProgressiveCmyk);
    const Bytes arithmetic = makeJpeg(64, 48, grey, JpegKind::Arithmetic);
    const std::vector<std::pair<std::string, Bytes>> pictures = {
        {"progressive-20000x20000.jpg", withDeclaredSize(progressive, 20000, 20000)},
        {"cmyk-progressive-32768x14000.jpg", withDeclaredSize(cmyk, 32768, 14000)},
        {"cmyk-progressive-60000x60000.jpg", withDeclaredSize(cmyk, 60000, 60000)},
        {"arithmetic-progressive-20000x20000.jpg",
         withDeclaredSize(makeJpeg(64, 48, grey, JpegKind::ArithmeticProgressive), 20000, 20000)},
        {"arithmetic-30000x30000.jpg", withDeclaredSize(arithmetic, 30000, 30000)},
        {"arithmetic-65500x65500.jpg", withDeclaredSize(arithmetic, 65500, 65500)},
        {"interlaced-14000x14000.png", makeInterlacedPngHeader(14000, 14000)},
        {"interlaced-65535x65535.gif", makeFramedGif(65535, 65535, 65535, 65535, grey, true, 1)},
        {"screen-65535x65535.gif", makeFramedGif(65535, 65535, 300, 200, grey, false, 200)},
        {"flat-14000x14000.png", flatPng(14000, 14000)},
        {"bilevel-30000x30000.png", makeBilevelPng(30000, 30000)},
    };
    for (const auto &[name, bytes] : pictures)
        writeFile(dir + "/" + name, bytes);
    return 0;
}
