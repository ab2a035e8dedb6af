#include "Timeline.h"

#include <cmath>
#include <cstdio>

namespace {

std::string withThousands(std::uint64_t number)
{
    const std::string digits = std::to_string(number);
    std::string grouped;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            grouped += ',';
        grouped += digits[i];
    }
    return grouped;
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

std::optional<std::string> whySwfCannotShow(std::size_t pictures, double delaySeconds)
{
    if (pictures > kMaxSwfPictures)
        return std::to_string(pictures) + " pictures do not fit one SWF file (at most " + std::to_string(kMaxSwfPictures)
            + ")";
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

std::string readableSeconds(double seconds)
{
    std::string text;
    if (seconds >= 1000 && seconds < 1e15) {
        text = withThousands(std::uint64_t(std::floor(seconds)));
    } else {
        char number[32];
        std::snprintf(number, sizeof number, seconds < 1 ? "%.2g" : "%.4g", seconds);
        text = number;
    }
    text += seconds == 1 ? " second" : " seconds";
    static const struct {
        double seconds;
        const char *name;
    } kUnits[] = {{86400, "days"}, {3600, "hours"}, {60, "minutes"}};
    for (const auto &unit : kUnits) {
        if (seconds >= 2 * unit.seconds) {
            char count[32];
            std::snprintf(count, sizeof count, "%.3g", seconds / unit.seconds);
            return text + " (" + count + " " + unit.name + ")";
        }
    }
    return text;
}
