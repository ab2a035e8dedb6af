// Makes the pictures of the memory and time bounds benchmark:
//   make_hostile DIR
// JPEGs whose frame header declares far more than their data holds, arithmetic
// ones that cost almost nothing to store, huge interlaced PNG and GIF headers,
// and large PNG and GIF pictures that must convert.
#include "TestPictures.h"

#include <cstdio>
#include <string>
#include <vector>

using namespace testpictures;

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
        {"flat-14000x14000.png", makeFlatPng(14000, 14000)},
        {"bilevel-30000x30000.png", makeBilevelPng(30000, 30000)},
    };
    for (const auto &[name, bytes] : pictures)
        writeFile(dir + "/" + name, bytes);
    return 0;
}
