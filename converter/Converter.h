#pragma once

#include "Options.h"

#include <iosfwd>

// Exit statuses.
constexpr int kWritten = 0;
constexpr int kFailed = 1;       // a picture or the output failed: nothing written
constexpr int kUsageError = 2;

// Checks every picture, then writes the slide show. Messages go to errors as
// "jpeg2swf: PATH: reason".
int runConversion(const Options &options, std::ostream &errors);

// The whole program, given its arguments (UTF-8, without the program's name)
// by the system's entry point. Returns the exit status.
int runJpeg2swf(const std::vector<std::string> &arguments);
