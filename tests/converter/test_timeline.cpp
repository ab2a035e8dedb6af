// The frame rate and frames per picture that show each picture for the delay.
#include "Timeline.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

bool withinTolerance(Timeline t, double delay)
{
    return std::abs(t.secondsPerPicture() - delay) <= kDelayTolerance * delay;
}

} // namespace

class TimelineForDelay : public testing::TestWithParam<double> {};

TEST_P(TimelineForDelay, HoldsEachPictureForTheDelayWithTheFewestFrames)
{
    const double delay = GetParam();
    const auto timeline = chooseTimeline(delay);
    ASSERT_TRUE(timeline);
    EXPECT_TRUE(withinTolerance(*timeline, delay)) << timeline->secondsPerPicture();
    EXPECT_GE(timeline->frameRate88, 1);
    EXPECT_LE(timeline->frameRate88, kMaxFrameRate88);

    // No smaller number of frames has a representable rate that fits.
    for (std::uint32_t frames = 1; frames < timeline->framesPerPicture; ++frames)
        for (std::uint32_t rate = 1; rate <= kMaxFrameRate88; ++rate)
            ASSERT_FALSE(withinTolerance({std::uint16_t(rate), frames}, delay)) << frames << " frames at " << rate;
}

INSTANTIATE_TEST_SUITE_P(Delays, TimelineForDelay,
                         testing::Values(1.0, 2.0, 0.5, 1.5, 0.1, 0.04, 3.7, 10.0, 255.0, 300.0, 1000.0,
                                         1.0 / 127.0, 0.333));

TEST(Timeline, ImpossibleDelaysAreRefused)
{
    // Faster than 128 fps, more frames than a SWF can hold, not a number.
    for (double delay : {0.0, -1.0, 1.0 / 200, 1e9, std::nan("")})
        EXPECT_FALSE(chooseTimeline(delay)) << delay;
}
