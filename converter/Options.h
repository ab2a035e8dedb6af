#pragma once

#include <optional>
#include <string>
#include <vector>

// The converter's command line:
//   jpeg2swf -r DELAY PICTURE... -o OUTPUT [options]
//   jpeg2swf @LISTFILE ...      (arguments read from a file, one per line)
struct Options {
    double delay = 0;                  // seconds each picture is shown; 0: not given
    double fade = 0;                   // seconds of a crossfade into the next; 0: a cut
    std::vector<std::string> pictures; // in the order given
    std::string output;                // empty: not given
    int maxWidth = 1920;               // the stage fits this box; 0 x 0: no box
    int maxHeight = 1080;
    int quality = 90;                  // JPEG quality of re-encoded pictures
    bool loop = true;                  // false: stop at the last picture
    unsigned jobs = 0;                 // pictures prepared at once; 0: one per core
    bool quiet = false;                // no progress line on a terminal
    bool help = false;
    bool version = false;
};

struct ParsedCommandLine {
    Options options;
    std::string error;                 // a usage error, or empty
};

// Parses the arguments after the program name. Before "--", an argument
// "@FILE" is replaced by the lines of FILE (see readListFile). After "--",
// every argument is a picture, "-o" too. An empty argument names no picture.
ParsedCommandLine parseCommandLine(const std::vector<std::string> &arguments);

// What --help shows, made from the same table as the parser.
std::string usageText();
