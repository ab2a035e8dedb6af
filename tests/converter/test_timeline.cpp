// The frame rate and frames per picture that show each picture for the delay.
#include "Timeline.h"

#include <gtest/gtest.h>

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

// What a SWF file cannot hold is refused with the bound in readable figures.
TEST(Timeline, SwfLimitsNameTheLargestAllowed)
{
    const std::vector<std::tuple<std::size_t, double, std::string>> cases = {
        {1, kMaxDelaySeconds, ""},
        {1, 0.0079, ""},
        {1, 0.0078, "a delay of 0.0078 seconds is too short for a SWF file: at least 0.0079 seconds"},
        {2, kMaxDelaySeconds, "2 pictures of 16,776,960 seconds (194 days) do not fit one SWF file: its 65,535 "
                              "frames hold 2 pictures of at most 8,388,352 seconds (97.1 days) each"},
        {1000, 16640, ""},
        {1000, 20000, "at most 16,640 seconds (4.62 hours) each"},
        {40000, 1, "40000 pictures do not fit one SWF file (at most 32767)"},
    };
    for (const auto &[pictures, delay, message] : cases) {
        const auto why = whySwfCannotShow(pictures, delay);
        EXPECT_EQ(why.has_value(), !message.empty()) << pictures << " x " << delay;
        EXPECT_NE(why.value_or("").find(message), std::string::npos) << *why;
    }
    EXPECT_EQ(readableSeconds(1), "1 second");
    EXPECT_EQ(readableSeconds(150), "150 seconds (2.5 minutes)");
}
