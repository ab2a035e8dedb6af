// The frame rate and frames per picture that show each picture for the delay.
#include "Timeline.h"

#include <gtest/gtest.h>

#include <algorithm>
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

TEST(Timeline, CrossfadesPlayAt25FramesASecondOrMoreAndTakeAtMostHalfThePicture)
{
    for (const auto &[delay, fade] : std::vector<std::pair<double, double>>{
             {2, 0.5}, {0.3, 0.1}, {1.5, 1}, {3.7, 0.25}, {640, 2}, {0.016, 0.005}, {2, 1e-9}, {2, 5}, {0.25, 10},
             {1.0 / 3, 0.2}}) {
        SCOPED_TRACE(testing::Message() << delay << " s, fade " << fade);
        const auto timeline = chooseFadeTimeline(delay, fade);
        ASSERT_TRUE(timeline);
        EXPECT_TRUE(withinTolerance(*timeline, delay)) << timeline->secondsPerPicture();
        const auto [rate88, frames, fadeFrames] = *timeline;
        EXPECT_TRUE(rate88 >= kMinFadeRate88 && rate88 <= kMaxFrameRate88 && frames <= kMaxFadedFrames);
        // The rate is the lowest that holds the delay: one frame fewer would be too slow.
        EXPECT_TRUE(frames == 2 || (frames - 1) / delay < kMinFadeRate88 / 256.0 * (1 + kDelayTolerance));
        // The nearest whole number of frames, at least one, at most half the picture's.
        const double wanted = std::clamp(fade * timeline->frameRate(), 1.0, double(frames / 2));
        EXPECT_LE(std::abs(fadeFrames - wanted), 0.5 + 1e-9) << fadeFrames;
        EXPECT_LE(fadeFrames, frames / 2);
    }
    // Too long for the frames players show, too short for two frames, no fade.
    for (const auto &[delay, fade] : std::vector<std::pair<double, double>>{{641, 1}, {0.015, 0.005}, {2, 0}})
        EXPECT_FALSE(chooseFadeTimeline(delay, fade)) << delay;
}
