#pragma once

#include <cstdint>
#include <optional>

// How long each picture stays on screen, as a frame rate and a number of frames
// per picture.
struct Timeline {
    std::uint16_t frameRate88 = 0;   // frames per second, 8.8 fixed point
    std::uint32_t framesPerPicture = 0;

    double frameRate() const { return frameRate88 / 256.0; }
    double secondsPerPicture() const { return framesPerPicture / frameRate(); }
};

// Allowed deviation of the shown delay from the requested one.
constexpr double kDelayTolerance = 0.005;
// Ruffle reads the rate as a signed 8.8 value: it must stay below 128 fps.
constexpr std::uint16_t kMaxFrameRate88 = 0x7FFF;

// The timeline with the fewest frames per picture whose delay lies within the
// tolerance, or nothing when no rate the header can hold gives one.
std::optional<Timeline> chooseTimeline(double delaySeconds);
