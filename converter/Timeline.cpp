#include "Timeline.h"

#include <algorithm>
#include <cmath>

namespace {

// Seconds rounded down to a figure readableSeconds shows in full, so that an
// "at most" it tells holds.
double shownRoundedDown(double seconds)
{
    const double step = seconds < 100 ? 0.01 : seconds < 1000 ? 0.1 : 1;
    return std::floor(seconds / step + 1e-9) * step;
}

// A show with crossfades plays at least kMinFadeRate88 and at most
// kMaxFadedFrames frames, with two frames or more a picture.
std::optional<std::string> whyFadedSwfCannotShow(std::size_t pictures, double delaySeconds, double fadeSeconds)
{
    const auto timeline = chooseFadeTimeline(delaySeconds, fadeSeconds);
    const double minRate = kMinFadeRate88 / 256.0;
    if (!timeline) {
        // The shortest delay is two frames at the fastest rate, rounded up so
        // that the figure given is taken; the others refused last longer than
        // kMaxFadedFrames at the slowest.
        const double shortest = std::ceil(2 * 256.0 / kMaxFrameRate88 * 10000) / 10000;
        if (delaySeconds < shortest)
            return "a delay of " + readableSeconds(delaySeconds) + " is too short for a SWF file with --fade: at least "
                + readableSeconds(shortest) + " (two frames a picture, at most 127 frames a second)";
        return "a delay of " + readableSeconds(delaySeconds) + " is too long for a SWF file with --fade: at most "
            + readableSeconds(kMaxFadedFrames / minRate) + ", as players stop after " + withThousands(kMaxFadedFrames)
            + " frames and a crossfade plays 25 frames a second or more";
    }
    const std::uint64_t frames = pictures * std::uint64_t(timeline->framesPerPicture);
    if (frames > kMaxFadedFrames)
        return std::to_string(pictures) + " pictures of " + readableSeconds(delaySeconds)
            + " do not fit one SWF file with --fade: players stop after " + withThousands(kMaxFadedFrames)
            + " frames, which at 25 frames a second hold " + std::to_string(pictures) + " pictures of at most "
            + readableSeconds(shownRoundedDown(double(kMaxFadedFrames / pictures) / minRate)) + " each";
    return std::nullopt;
}

} // namespace

std::optional<Timeline> chooseTimeline(double delaySeconds)
{
    if (!(delaySeconds > 0) || !std::isfinite(delaySeconds))
        return std::nullopt;
    // The slowest rate is 1/256 fps; beyond a few thousand frames per picture
    // every delay a person types has long been matched.
    constexpr std::uint32_t kMaxFramesPerPicture = 65535;
    for (std::uint32_t frames = 1; frames <= kMaxFramesPerPicture; ++frames) {
        const double rate88 = std::round(frames / delaySeconds * 256.0);
        if (rate88 > kMaxFrameRate88)
            return std::nullopt;   // more frames only need a higher rate
        if (rate88 < 1)
            continue;
        const Timeline timeline{std::uint16_t(rate88), frames};
        if (std::abs(timeline.secondsPerPicture() - delaySeconds) <= kDelayTolerance * delaySeconds)
            return timeline;
    }
    return std::nullopt;
}

std::optional<Timeline> chooseFadeTimeline(double delaySeconds, double fadeSeconds)
{
    if (!(delaySeconds > 0) || !std::isfinite(delaySeconds) || !(fadeSeconds > 0))
        return std::nullopt;
    // Fewer frames than the slowest smooth rate needs cannot hold the delay.
    const double fewest = std::max(2.0, std::floor(delaySeconds * kMinFadeRate88 / 256.0));
    for (auto frames = std::uint32_t(std::min<double>(fewest, kMaxFadedFrames + 1)); frames <= kMaxFadedFrames;
         ++frames) {
        const double rate88 = std::round(frames / delaySeconds * 256.0);
        if (rate88 > kMaxFrameRate88)
            return std::nullopt;
        if (rate88 < kMinFadeRate88)
            continue;
        Timeline timeline{std::uint16_t(rate88), frames};
        if (std::abs(timeline.secondsPerPicture() - delaySeconds) > kDelayTolerance * delaySeconds)
            continue;
        const double fade = std::round(std::min(fadeSeconds, delaySeconds) * timeline.frameRate());
        timeline.fadeFrames = std::clamp(std::uint32_t(fade), 1u, frames / 2);
        return timeline;
    }
    return std::nullopt;
}

std::optional<Timeline> chooseSwfTimeline(double delaySeconds, double fadeSeconds)
{
    return fadeSeconds > 0 ? chooseFadeTimeline(delaySeconds, fadeSeconds) : chooseTimeline(delaySeconds);
}

std::optional<std::string> whySwfCannotShow(std::size_t pictures, double delaySeconds, double fadeSeconds)
{
    if (pictures > kMaxSwfPictures)
        return std::to_string(pictures) + " pictures do not fit one SWF file (at most " + std::to_string(kMaxSwfPictures)
            + ")";
    if (fadeSeconds > 0)
        return whyFadedSwfCannotShow(pictures, delaySeconds, fadeSeconds);
    const auto timeline = chooseTimeline(delaySeconds);
    if (!timeline) {
        // The fastest rate shows a picture a frame; rounded up, so the figure given is taken.
        const double shortest = std::ceil(256.0 / kMaxFrameRate88 * 10000) / 10000;
        return "a delay of " + readableSeconds(delaySeconds) + " is too short for a SWF file: at least "
            + readableSeconds(shortest) + " (at most 127 pictures a second)";
    }
    if (pictures * std::uint64_t(timeline->framesPerPicture) > kMaxSwfFrames) {
        // At the slowest rate each frame lasts 256 seconds.
        const std::uint64_t longest = kMaxSwfFrames / pictures * 256;
        return std::to_string(pictures) + " pictures of " + readableSeconds(delaySeconds)
            + " do not fit one SWF file: its " + withThousands(kMaxSwfFrames) + " frames hold " + std::to_string(pictures)
            + " pictures of at most " + readableSeconds(double(longest)) + " each";
    }
    return std::nullopt;
}
