#include "Timeline.h"

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
