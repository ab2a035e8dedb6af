// The frame rate and frames per picture that show each picture for the delay.
#include "Timeline.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <tuple>
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
}

// What a SWF file cannot hold is refused with the bound in readable figures.
TEST(Timeline, SwfLimitsNameTheLargestAllowed)
{
    const std::vector<std::tuple<std::size_t, double, double, std::string>> cases = {
        {1, kLongestDelaySeconds, 0, ""},
        {1, 0.0079, 0, ""},
        {1, 0.0078, 0, "a delay of 0.0078 seconds is too short for a SWF file: at least 0.0079 seconds"},
        {2, kLongestDelaySeconds, 0, "2 pictures of 16,776,960 seconds (194 days) do not fit one SWF file: its 65,535 "
                                 "frames hold 2 pictures of at most 8,388,352 seconds (97.1 days) each"},
        {1000, 16640, 0, ""},
        {1000, 20000, 0, "at most 16,640 seconds (4.62 hours) each"},
        {40000, 1, 0, "40000 pictures do not fit one SWF file (at most 32767)"},
        // With crossfades, the frames players play at 25 a second or more.
        {1, 640, 0.5, ""}, {1, 0.016, 0.005, ""}, {320, 2, 0.5, ""}, {321, 1.96, 0.5, ""}, {7, 91.4, 1, ""},
        {1, 641, 0.5, "a delay of 641 seconds (10.7 minutes) is too long for a SWF file with --fade: at most "
                      "640 seconds (10.7 minutes)"},
        {1, 0.015, 0.005, "a delay of 0.015 seconds is too short for a SWF file with --fade: at least 0.016 seconds"},
        {321, 2, 0.5, "321 pictures of 2 seconds do not fit one SWF file with --fade: players stop after 16,000 "
                      "frames, which at 25 frames a second hold 321 pictures of at most 1.96 seconds each"},
        {7, 100, 1, "hold 7 pictures of at most 91.4 seconds each"},
        {40000, 1, 0.5, "40000 pictures do not fit one SWF file (at most 32767)"},
    };
    for (const auto &[pictures, delay, fade, message] : cases) {
        const auto why = whySwfCannotShow(pictures, delay, fade);
        EXPECT_EQ(why.has_value(), !message.empty()) << pictures << " x " << delay << ", fade " << fade;
        EXPECT_NE(why.value_or("").find(message), std::string::npos) << why.value_or("(none)");
    }
    EXPECT_EQ(readableSeconds(1), "1 second");
    EXPECT_EQ(readableSeconds(150), "150 seconds (2.5 minutes)");
}
