#include "Timeline.h"

#include <algorithm>
#include <cmath>

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
