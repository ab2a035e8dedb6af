// Makes the benchmark pictures with libjpeg-turbo:
//   make_pictures DIR passthrough COUNT   1920 x 1080 baseline JPEGs of about 2 MB
//   make_pictures DIR photos COUNT        4000 x 3000 (12 megapixel) JPEGs
// Smooth colour fields with grain, so they compress like photos rather than
// like noise or flat colour.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstdint>
#include <string>
#include <vector>

#include <turbojpeg.h>

int main(int argc, char *argv[])
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: make_pictures DIR passthrough|photos COUNT\n");
        return 2;
    }
    const std::string dir = argv[1], kind = argv[2];
    const int count = std::atoi(argv[3]);
    const bool photos = kind == "photos";
    const int width = photos ? 4000 : 1920, height = photos ? 3000 : 1080;
    const int grain = photos ? 24 : 40, quality = photos ? 92 : 97;

    std::vector<unsigned char> rgb(std::size_t(width) * height * 3);
    tjhandle encoder = tjInitCompress();
    for (int n = 0; n < count; ++n) {
        std::uint32_t state = 2463534242u + unsigned(n);   // xorshift: fast enough for 12 MP
        auto noise = [&] {
            state ^= state << 13;
            state ^= state >> 17;
            state ^= state << 5;
            return int(state % unsigned(2 * grain + 1)) - grain;
        };
        const double phase = n * 0.7;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                unsigned char *p = &rgb[(std::size_t(y) * width + x) * 3];
                const double u = double(x) / width, v = double(y) / height;
                const int base[3] = {int(128 + 100 * std::sin(6 * u + phase)), int(128 + 100 * std::sin(5 * v + 2 * phase)),
                                     int(128 + 100 * std::sin(4 * (u + v) + 3 * phase))};
                for (int c = 0; c < 3; ++c)
                    p[c] = (unsigned char)std::min(255, std::max(0, base[c] + noise()));
            }
        unsigned char *jpeg = nullptr;
        unsigned long size = 0;
        if (tjCompress2(encoder, rgb.data(), width, 0, height, TJPF_RGB, &jpeg, &size, TJSAMP_420, quality, 0) != 0) {
            std::fprintf(stderr, "make_pictures: %s\n", tjGetErrorStr2(encoder));
            return 1;
        }
        char name[32];
        std::snprintf(name, sizeof name, "/%04d.jpg", n);
        FILE *file = std::fopen((dir + name).c_str(), "wb");
        if (!file || std::fwrite(jpeg, 1, size, file) != size || std::fclose(file) != 0) {
            std::perror((dir + name).c_str());
            return 1;
        }
        tjFree(jpeg);
    }
    tjDestroy(encoder);
    return 0;
}
