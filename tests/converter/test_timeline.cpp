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

TEST(Timeline, CrossfadesPlayAt25FramesASecondOrMoreAndTakeAtMostHalfThePicture)
{
    struct Case {
        double delay, fade;
        std::uint32_t fadeFrames;   // 0: as many as the rate gives the fade
    };
    for (const auto &[delay, fade, expectedFade] : std::vector<Case>{
             {2, 0.5, 0}, {0.3, 0.1, 0}, {1.5, 1, 0}, {3.7, 0.25, 0}, {640, 2, 0}, {0.016, 0.005, 1},
             {2, 1e-9, 1}, {2, 5, 25}, {0.25, 10, 0}, {1.0 / 3, 0.2, 0}}) {
        SCOPED_TRACE(testing::Message() << delay << " s, fade " << fade);
        const auto timeline = chooseFadeTimeline(delay, fade);
        ASSERT_TRUE(timeline);
        EXPECT_TRUE(withinTolerance(*timeline, delay)) << timeline->secondsPerPicture();
        EXPECT_GE(timeline->frameRate88, kMinFadeRate88);
        EXPECT_LE(timeline->frameRate88, kMaxFrameRate88);
        EXPECT_LE(timeline->framesPerPicture, kMaxFadedFrames);
        // The rate is the lowest that holds the delay: one frame fewer would be too slow.
        if (timeline->framesPerPicture > 2) {
            EXPECT_LT((timeline->framesPerPicture - 1) / delay, kMinFadeRate88 / 256.0 * (1 + kDelayTolerance));
        }
        const std::uint32_t half = timeline->framesPerPicture / 2;
        EXPECT_GE(timeline->fadeFrames, 1u);
        EXPECT_LE(timeline->fadeFrames, half);
        if (expectedFade) {
            EXPECT_EQ(timeline->fadeFrames, expectedFade);
        } else if (timeline->fadeFrames < half) {
            const double fadeSeconds = timeline->fadeFrames / timeline->frameRate();
            EXPECT_LE(std::abs(fadeSeconds - fade), 0.5 / timeline->frameRate() + 1e-9);
        }
    }
    // Too long for the frames players show, too short for two frames, no fade.
    for (const auto &[delay, fade] : std::vector<std::pair<double, double>>{{641, 1}, {0.015, 0.005}, {2, 0}})
        EXPECT_FALSE(chooseFadeTimeline(delay, fade)) << delay;
}
