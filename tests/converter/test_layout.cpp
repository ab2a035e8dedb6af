// Where pictures go on the stage, how they are stored, and how EXIF
// orientation turns them upright.
#include "Layout.h"

#include <gtest/gtest.h>

namespace {

PictureInfo jpeg(int width, int height, int orientation = 1, JpegProcess process = JpegProcess::Baseline,
                 int components = 3)
{
    PictureInfo info;
    info.width = info.jpeg.width = width;
    info.height = info.jpeg.height = height;
    info.jpeg.orientation = orientation;
    info.jpeg.process = process;
    info.jpeg.components = components;
    return info;
}

// Where the matrix puts a point of the stored bitmap, in shown pixels.
std::pair<double, double> apply(const swf::Matrix &m, double x, double y)
{
    const double twips = 20.0 * 65536.0;
    return {(x * m.scaleX + y * m.rotateSkew1) / twips + m.translateX / 20.0,
            (x * m.rotateSkew0 + y * m.scaleY) / twips + m.translateY / 20.0};
}

} // namespace

TEST(Layout, PicturesShrinkToFitAndNeverGrow)
{
    EXPECT_EQ(fitInside({4000, 3000}, {1920, 1080}), (Size{1440, 1080}));
    EXPECT_EQ(fitInside({1080, 1920}, {1920, 1080}), (Size{608, 1080}));
    EXPECT_EQ(fitInside({640, 480}, {1920, 1080}), (Size{640, 480}));
    EXPECT_EQ(fitInside({10000, 1}, {100, 100}), (Size{100, 1}));   // never below one pixel
    EXPECT_EQ(stageSize(jpeg(4000, 3000), {1920, 1080}), (Size{1440, 1080}));
    EXPECT_EQ(stageSize(jpeg(4000, 3000, 6), {1920, 1080}), (Size{810, 1080}));
    EXPECT_EQ(stageSize(jpeg(4000, 3000), {0, 0}), (Size{4000, 3000}));
}

TEST(Layout, EachPictureIsStoredNoLargerThanShownAndPlayerSafe)
{
    const Size stage{800, 600};
    EXPECT_EQ(planPicture("a", jpeg(800, 600), stage).embedding, Embedding::AsIs);
    EXPECT_EQ(planPicture("a", jpeg(800, 600, 1, JpegProcess::Progressive), stage).embedding, Embedding::Transcoded);
    EXPECT_EQ(planPicture("a", jpeg(800, 600, 1, JpegProcess::Arithmetic), stage).embedding, Embedding::Transcoded);
    EXPECT_EQ(planPicture("a", jpeg(800, 600, 1, JpegProcess::Baseline, 1), stage).embedding, Embedding::Reencoded);
    EXPECT_EQ(planPicture("a", jpeg(800, 600, 1, JpegProcess::Baseline, 4), stage).embedding, Embedding::Reencoded);
    const PicturePlan large = planPicture("a", jpeg(1600, 1200), stage);
    EXPECT_EQ(large.embedding, Embedding::Reencoded);
    EXPECT_EQ(large.stored(), (Size{800, 600}));
    // Turned a quarter: stored before turning, shown after.
    const PicturePlan turned = planPicture("a", jpeg(1600, 1200, 6), stage);
    EXPECT_EQ(turned.shown, (Size{450, 600}));
    EXPECT_EQ(turned.stored(), (Size{600, 450}));
    EXPECT_EQ(planPicture("a", jpeg(600, 400, 8), stage).embedding, Embedding::AsIs);
}

TEST(Layout, OrientationMatrixPutsEveryCornerWhereExifSays)
{
    // A 40 x 10 bitmap; where its top-left and top-right corners must end up in
    // the shown rectangle for each EXIF orientation.
    struct Case {
        int orientation;
        std::pair<double, double> topLeft, topRight;
    };
    const Size stored{40, 10};
    for (const Case &c : {Case{1, {0, 0}, {40, 0}}, Case{2, {40, 0}, {0, 0}}, Case{3, {40, 10}, {0, 10}},
                          Case{4, {0, 10}, {40, 10}}, Case{5, {0, 0}, {0, 40}}, Case{6, {10, 0}, {10, 40}},
                          Case{7, {10, 40}, {10, 0}}, Case{8, {0, 40}, {0, 0}}}) {
        SCOPED_TRACE(c.orientation);
        const swf::Matrix m = orientationMatrix(c.orientation, stored);
        EXPECT_EQ(apply(m, 0, 0), c.topLeft);
        EXPECT_EQ(apply(m, 40, 0), c.topRight);
        // The whole bitmap lands inside the shown rectangle.
        const double shownWidth = c.orientation >= 5 ? 10 : 40, shownHeight = c.orientation >= 5 ? 40 : 10;
        const auto [x, y] = apply(m, 40, 10);
        EXPECT_TRUE(x == 0 || x == shownWidth);
        EXPECT_TRUE(y == 0 || y == shownHeight);
    }
}

TEST(Layout, PicturesAreCentredOnTheStage)
{
    const swf::Matrix m = centringMatrix({450, 601}, {800, 600});
    EXPECT_EQ(m.translateX, 175 * 20);
    EXPECT_EQ(m.translateY, -10);   // half a pixel is 10 twips
}
