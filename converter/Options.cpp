#include "Options.h"

#include "DelayRange.h"
#include "DelayText.h"
#include "ListFile.h"
#include "ProgressVariable.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace {

std::optional<int> parseCount(const std::string &text, int low, int high)
{
    if (text.empty() || text.size() > 9)
        return std::nullopt;
    for (char c : text)
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return std::nullopt;
    const int value = std::atoi(text.c_str());
    if (value < low || value > high)
        return std::nullopt;
    return value;
}

bool parseBox(const std::string &text, Options &options)
{
    if (text == "0") {
        options.maxWidth = options.maxHeight = 0;
        return true;
    }
    const std::size_t x = text.find_first_of("xX");
    if (x == std::string::npos)
        return false;
    const auto width = parseCount(text.substr(0, x), 1, 65535);
    const auto height = parseCount(text.substr(x + 1), 1, 65535);
    if (!width || !height)
        return false;
    options.maxWidth = *width;
    options.maxHeight = *height;
    return true;
}

// What an option does with its value (empty for an option without one):
// returns a usage error, or an empty string.
using Setter = std::string (*)(Options &options, const std::string &value);

struct OptionSpec {
    const char *name;        // "--delay"
    const char *shortName;   // "-r", or nullptr
    const char *valueName;   // shown in the help; nullptr: the option takes no value
    const char *help;        // its lines in the help, '\n' between them
    Setter set;
};

std::string setDelay(Options &options, const std::string &value)
{
    const auto delay = readDelaySeconds(value);
    if (!delay || !(*delay > 0))
        return "delay '" + value + "' is not a number greater than 0";
    if (*delay < kShortestDelaySeconds)
        return "delay '" + value + "' is shorter than the shortest a slide show plays, "
            + readableSeconds(kShortestDelaySeconds);
    if (*delay > kLongestDelaySeconds)
        return "delay '" + value + "' is longer than the longest a slide show plays, "
            + readableSeconds(kLongestDelaySeconds);
    options.delay = *delay;
    return {};
}

std::string setFade(Options &options, const std::string &value)
{
    const auto fade = readDelaySeconds(value);
    if (!fade || !(*fade >= 0))
        return "fade '" + value + "' is not a number of seconds, 0 or more";
    options.fade = std::max(*fade, 0.0);   // -0 is no fade either
    return {};
}

std::string setOutput(Options &options, const std::string &value)
{
    if (value.empty())
        return "the output file name is empty";
    options.output = value;
    return {};
}

std::string setMaxSize(Options &options, const std::string &value)
{
    return parseBox(value, options) ? "" : "size '" + value + "' is not WIDTHxHEIGHT (each from 1 to 65535) or 0";
}

std::string setQuality(Options &options, const std::string &value)
{
    const auto quality = parseCount(value, 1, 100);
    if (!quality)
        return "quality '" + value + "' is not a whole number from 1 to 100";
    options.quality = *quality;
    return {};
}

std::string setJobs(Options &options, const std::string &value)
{
    const auto jobs = parseCount(value, 1, 256);
    if (!jobs)
        return "jobs '" + value + "' is not a whole number from 1 to 256";
    options.jobs = unsigned(*jobs);
    return {};
}

// Every option, in the order --help lists them.
const OptionSpec kOptionTable[] = {
    {"--delay", "-r", "SECONDS",
     "how long each picture is shown: a number > 0 (2, 1.5, 0,5;\n"
     "a comma is always the decimal mark)",
     setDelay},
    {"--output", "-o", "FILE",
     "the SWF file to write; a FILE named *.html or *.htm\n"
     "is written as a web page that plays in a browser",
     setOutput},
    {"--max-size", "-m", "WxH",
     "largest stage in pixels (default 1920x1080; 0 keeps\n"
     "the first picture's size)",
     setMaxSize},
    {"--quality", "-q", "N", "JPEG quality of pictures that are re-encoded, 1-100\n(default 90)", setQuality},
    {"--fade", nullptr, "SECONDS",
     "blend each picture into the next over SECONDS\n"
     "(default 0: a cut; at most half the delay)",
     setFade},
    {"--stop", nullptr, nullptr, "stop at the last picture instead of starting over",
     [](Options &options, const std::string &) { options.loop = false; return std::string(); }},
    {"--loop", nullptr, nullptr, "start over after the last picture (default)",
     [](Options &options, const std::string &) { options.loop = true; return std::string(); }},
    {"--jobs", "-j", "N", "pictures prepared at once (default: one per core)", setJobs},
    {"--quiet", nullptr, nullptr, "no progress line on a terminal",
     [](Options &options, const std::string &) { options.quiet = true; return std::string(); }},
    {"--help", "-h", nullptr, "show this help",
     [](Options &options, const std::string &) { options.help = true; return std::string(); }},
    {"--version", nullptr, nullptr, "show the version",
     [](Options &options, const std::string &) { options.version = true; return std::string(); }},
};

// The help's column where the explanations begin.
constexpr std::size_t kHelpColumn = 26;

// One entry of the help: the option (or argument) on the left, its lines of
// explanation in the column.
std::string helpEntry(const std::string &left, const std::string &help)
{
    std::string entry = left;
    std::size_t start = 0;
    do {
        const std::size_t end = std::min(help.find('\n', start), help.size());
        entry.resize(start == 0 ? std::max(kHelpColumn, entry.size() + 1) : entry.size() + kHelpColumn, ' ');
        entry += help.substr(start, end - start) + '\n';
        start = end + 1;
    } while (start < help.size());
    return entry;
}

const OptionSpec *findOption(const std::string &name)
{
    for (const OptionSpec &option : kOptionTable)
        if (name == option.name || (option.shortName && name == option.shortName))
            return &option;
    return nullptr;
}

// The arguments with every list file before "--" replaced by its lines.
bool expandListFiles(const std::vector<std::string> &arguments, std::vector<std::string> &into, std::string &error)
{
    bool literal = false;
    for (const std::string &argument : arguments) {
        if (!literal && argument.size() > 1 && argument[0] == '@') {
            if (!readListFile(argument.substr(1), into, error))
                return false;
            continue;
        }
        if (argument == "--")
            literal = true;
        into.push_back(argument);
    }
    return true;
}

} // namespace


std::string usageText()
{
    std::string text = "Usage: jpeg2swf -r DELAY PICTURE... -o OUTPUT [options]\n"
                       "       jpeg2swf @LISTFILE\n"
                       "Writes a SWF slide show that shows each picture for DELAY seconds, in order.\n"
                       "\n";
    for (const OptionSpec &option : kOptionTable) {
        std::string left = option.shortName ? std::string("  ") + option.shortName + ", " : std::string(6, ' ');
        left += option.name;
        if (option.valueName)
            left += std::string(" ") + option.valueName;
        text += helpEntry(left, option.help);
    }
    text += helpEntry("  --", "every argument after it is a picture, even -o:\ngive -o OUTPUT before it");
    text += helpEntry("  @LISTFILE", "read arguments from LISTFILE, one per line (UTF-8)");
    return text + "\n"
                  "Pictures: JPEG, PNG and GIF (its first frame). Exit status: 0 written,\n"
                  "1 nothing written because a picture or the output failed, 2 usage error.\n"
                  "On a terminal, standard error shows how many pictures are written.\n"
        + kProgressVariable + "=N: lines \"DONE TOTAL\" are written to descriptor N.\n";
}

ParsedCommandLine parseCommandLine(const std::vector<std::string> &arguments)
{
    ParsedCommandLine result;
    Options &options = result.options;
    std::vector<std::string> args;
    if (!expandListFiles(arguments, args, result.error))
        return result;

    bool onlyPictures = false, outputAfterDashes = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &arg = args[i];
        if (onlyPictures || !arg.starts_with('-') || arg == "-") {
            if (!arg.empty())
                options.pictures.push_back(arg);
            outputAfterDashes = outputAfterDashes || (onlyPictures && (arg == "-o" || arg.starts_with("--output")));
            continue;
        }
        if (arg == "--") {
            onlyPictures = true;
            continue;
        }
        // Options with a value: "-r 2", "--delay 2" or "--delay=2".
        const std::size_t equals = arg.starts_with("--") ? arg.find('=') : std::string::npos;
        const std::string name = arg.substr(0, equals);
        const OptionSpec *option = findOption(name);
        if (!option) {
            result.error = "unknown option '" + arg + "' (a picture whose name begins with '-' goes after '--')";
            return result;
        }
        std::string value;
        if (equals != std::string::npos) {
            if (!option->valueName) {
                result.error = "option " + name + " takes no value";
                return result;
            }
            value = arg.substr(equals + 1);
        } else if (option->valueName) {
            if (i + 1 >= args.size()) {
                result.error = "option " + name + " needs a value";
                return result;
            }
            value = args[++i];
        }
        result.error = option->set(options, value);
        if (!result.error.empty() || options.help || options.version)
            return result;
    }

    if (options.delay == 0)
        result.error = "no delay given (-r SECONDS)";
    else if (options.pictures.empty())
        result.error = "no pictures given";
    else if (options.output.empty())
        result.error = outputAfterDashes ? "no output file given: after '--' every argument is a picture, -o too; "
                                           "give -o OUTPUT before '--'"
                                         : "no output file given (-o FILE)";
    return result;
}
