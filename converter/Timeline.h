#pragma once

#include "DelayRange.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// How long each picture stays on screen, as a frame rate and a number of frames
// per picture; with a crossfade, the last fadeFrames of them blend it into the
// next picture.
struct Timeline {
    std::uint16_t frameRate88 = 0;   // frames per second, 8.8 fixed point
    std::uint32_t framesPerPicture = 0;
    std::uint32_t fadeFrames = 0;

    double frameRate() const { return frameRate88 / 256.0; }
    double secondsPerPicture() const { return framesPerPicture / frameRate(); }
};

// Allowed deviation of the shown delay from the requested one.
constexpr double kDelayTolerance = 0.005;
// Ruffle reads the rate as a signed 8.8 value: it must stay below 128 fps.
constexpr std::uint16_t kMaxFrameRate88 = 0x7FFF;
// A SWF file counts its frames in 16 bits.
constexpr std::uint64_t kMaxSwfFrames = 65535;
static_assert(kLongestDelaySeconds == double(kMaxSwfFrames) * 256, "the longest delay is a SWF file's longest");
// Two character ids (bitmap and shape) per picture, and id 0 is reserved.
constexpr std::size_t kMaxSwfPictures = 32767;

// A crossfade is smooth from this rate on, and the whole show plays at it.
constexpr std::uint16_t kMinFadeRate88 = 25 << 8;
// Players stop a movie after this many frames; a show with crossfades, at 25
// frames a second or more, reaches it long before the header's 65535.
constexpr std::uint32_t kMaxFadedFrames = 16000;

// The timeline with the fewest frames per picture whose delay lies within the
// tolerance, or nothing when no rate the header can hold gives one.
std::optional<Timeline> chooseTimeline(double delaySeconds);

// The same at kMinFadeRate88 or faster, with at least two frames per picture
// and a crossfade of fadeSeconds (at least one frame, at most half of them).
// Nothing when no rate gives the delay within kMaxFadedFrames frames.
std::optional<Timeline> chooseFadeTimeline(double delaySeconds, double fadeSeconds);

// The timeline of a SWF slide show: chooseFadeTimeline when fadeSeconds > 0,
// else chooseTimeline.
std::optional<Timeline> chooseSwfTimeline(double delaySeconds, double fadeSeconds);

// Why one SWF file cannot show this many pictures for this long each, with
// crossfades of fadeSeconds (0: cuts), or nothing when it can.
std::optional<std::string> whySwfCannotShow(std::size_t pictures, double delaySeconds, double fadeSeconds);
