// Writes the web page test's pictures into a folder, in the order they are
// shown: solid colours of different sizes, one turned by its EXIF orientation
// (its camera serial must not reach the page), one larger than the stage.
#include "TestPictures.h"

using namespace testpictures;

int main(int argc, char *argv[])
{
    if (argc != 2)
        return 2;
    const std::string folder = argv[1];
    writeFile(folder + "/a.jpg", makeJpeg(640, 480, {230, 20, 20}));
    writeFile(folder + "/b.jpg", makeJpeg(300, 600, {20, 200, 20}));
    writeFile(folder + "/c.jpg", withExif(makeJpeg(600, 200, {20, 20, 230}), 6));
    writeFile(folder + "/d.jpg", makeJpeg(1200, 400, {230, 230, 20}));
    return 0;
}
