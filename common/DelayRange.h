#pragma once

#include <cstdint>
#include <string>

// The delays every output plays, which the window checks before it asks for a
// file name and the converter checks again: a web page's timers count
// milliseconds, and a SWF file's 65,535 frames at its slowest rate, 1/256
// frame a second, last 16,776,960 seconds. (A SWF file's fastest rate bounds
// the shortest delay further; only the converter, which knows the output,
// tells that.)
inline constexpr double kShortestDelaySeconds = 0.001;
inline constexpr double kLongestDelaySeconds = 65535.0 * 256;

inline bool isPlayableDelay(double seconds)
{
    return seconds >= kShortestDelaySeconds && seconds <= kLongestDelaySeconds;
}

// "16,776,960": digits grouped by threes with commas.
std::string withThousands(std::uint64_t number);

// A duration as people read it: "0.0078 seconds", "1.5 seconds",
// "16,776,960 seconds (194 days)".
std::string readableSeconds(double seconds);
