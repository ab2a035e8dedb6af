#include "Layout.h"

#include <algorithm>
#include <cmath>

Size fitInside(Size picture, Size box)
{
    if (picture.width <= box.width && picture.height <= box.height)
        return picture;
    const double scale = std::min(double(box.width) / picture.width, double(box.height) / picture.height);
    return {std::clamp(int(std::lround(picture.width * scale)), 1, box.width),
            std::clamp(int(std::lround(picture.height * scale)), 1, box.height)};
}

Size stageSize(const PictureInfo &first, Size maxBox)
{
    const Size own{first.shownWidth(), first.shownHeight()};
    if (maxBox.width == 0 || maxBox.height == 0)
        return own;
    return fitInside(own, maxBox);
}

PicturePlan planPicture(const std::string &path, const PictureInfo &info, Size stage)
{
    PicturePlan plan{path, info, fitInside({info.shownWidth(), info.shownHeight()}, stage)};
    const bool scaled = plan.shown != Size{info.shownWidth(), info.shownHeight()};
    if (info.format != PictureFormat::Jpeg || scaled)
        plan.embedding = Embedding::Reencoded;
    else if (info.jpeg.playerSafe())
        plan.embedding = Embedding::AsIs;
    else if (info.jpeg.losslesslyTranscodable())
        plan.embedding = Embedding::Transcoded;
    else
        plan.embedding = Embedding::Reencoded;   // greyscale, CMYK, RGB, unusual sampling
    return plan;
}

swf::Matrix orientationMatrix(int orientation, Size stored)
{
    constexpr std::int32_t s = swf::kTwipsPerStagePixel << 16;   // 16.16: one pixel is 20 twips
    const std::int32_t w = stored.width * swf::kTwipsPerStagePixel;
    const std::int32_t h = stored.height * swf::kTwipsPerStagePixel;
    // x' = x scaleX + y rotateSkew1 + tx, y' = x rotateSkew0 + y scaleY + ty,
    // for a bitmap pixel (x, y) of the stored picture.
    switch (orientation) {
    case 2: return {-s, s, 0, 0, w, 0};       // mirrored left to right
    case 3: return {-s, -s, 0, 0, w, h};      // turned half round
    case 4: return {s, -s, 0, 0, 0, h};       // mirrored top to bottom
    case 5: return {0, 0, s, s, 0, 0};        // mirrored along the diagonal
    case 6: return {0, 0, s, -s, h, 0};       // turned a quarter clockwise
    case 7: return {0, 0, -s, -s, h, w};      // mirrored along the other diagonal
    case 8: return {0, 0, -s, s, 0, w};       // turned a quarter anticlockwise
    default: return {s, s, 0, 0, 0, 0};
    }
}

swf::Matrix centringMatrix(Size shown, Size stage)
{
    swf::Matrix matrix;
    matrix.translateX = (stage.width - shown.width) * swf::kTwipsPerStagePixel / 2;
    matrix.translateY = (stage.height - shown.height) * swf::kTwipsPerStagePixel / 2;
    return matrix;
}
