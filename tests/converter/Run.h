#pragma once

// Runs the real converter and ffmpeg's tools as child processes, without a shell.

#include <string>
#include <vector>

namespace testrun {

struct Result {
    int status = -1;        // exit status, or 128 + signal
    std::string output;     // standard output
    std::string errors;     // standard error
    long peakKiB = 0;       // the process's largest resident size
};

Result run(const std::string &program, const std::vector<std::string> &args);

// jpeg2swf from the build folder, or the Windows converter under Wine when
// JPEG2SWF_WINE names its jpeg2swf.exe.
Result jpeg2swf(const std::vector<std::string> &args);
bool windowsConverter();
std::vector<std::string> jpeg2swfCommand();   // the program and its first arguments

struct Frame {
    int width = 0, height = 0;
    int r = 0, g = 0, b = 0;    // mean colour
};

// Every picture ffmpeg decodes from the SWF file, in order.
std::vector<Frame> decodedFrames(const std::string &swf);

} // namespace testrun
