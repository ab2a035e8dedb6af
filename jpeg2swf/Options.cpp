#include "Options.h"

#include "FileStatus.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

const char *const kUsage =
    "Usage: jpeg2swf -r DELAY PICTURE... -o OUTPUT [options]\n"
    "       jpeg2swf @LISTFILE\n"
    "Writes a SWF slide show that shows each picture for DELAY seconds, in order.\n"
    "\n"
    "  -r, --delay SECONDS     how long each picture is shown: a number > 0 (2, 1.5, 0,5;\n"
    "                          a comma is always the decimal mark)\n"
    "  -o, --output FILE       the SWF file to write; a FILE named *.html or *.htm\n"
    "                          is written as a web page that plays in a browser\n"
    "  -m, --max-size WxH      largest stage in pixels (default 1920x1080; 0 keeps\n"
    "                          the first picture's size)\n"
    "  -q, --quality N         JPEG quality of pictures that are re-encoded, 1-100\n"
    "                          (default 90)\n"
    "      --fade SECONDS      blend each picture into the next over SECONDS (default 0:\n"
    "                          a cut; at most half the delay)\n"
    "      --stop              stop at the last picture instead of starting over\n"
    "      --loop              start over after the last picture (default)\n"
    "  -j, --jobs N            pictures prepared at once (default: one per core)\n"
    "      --quiet             no progress line on a terminal\n"
    "      --help              show this help\n"
    "      --version           show the version\n"
    "  --                      every argument after it is a picture\n"
    "  @LISTFILE               read arguments from LISTFILE, one per line (UTF-8)\n"
    "\n"
    "Pictures: JPEG, PNG and GIF (its first frame). Exit status: 0 written,\n"
    "1 nothing written because a picture or the output failed, 2 usage error.\n"
    "On a terminal, standard error shows how many pictures are written.\n"
    "JPEG2SWF_PROGRESS_FD=N: lines \"DONE TOTAL\" are written to descriptor N.\n";

namespace {

bool readListFile(const std::string &path, std::vector<std::string> &into, std::string &error)
{
    std::ifstream file(nativePath(path), std::ios::binary);
    if (!file) {
        error = path + ": cannot read the argument list";
        return false;
    }
    std::stringstream text;
    text << file.rdbuf();
    std::string content = text.str();
    if (content.starts_with("\xEF\xBB\xBF"))
        content.erase(0, 3);   // a byte order mark is not part of the first argument
    std::size_t start = 0;
    while (start < content.size()) {
        std::size_t end = content.find('\n', start);
        if (end == std::string::npos)
            end = content.size();
        std::string line = content.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        into.push_back(std::move(line));
        start = end + 1;
    }
    return true;
}

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

// A finite decimal number in the forms parseDelay describes, of any sign.
std::optional<double> parseNumber(const std::string &text)
{
    // Blanks around, a sign, digits with at most one decimal mark, an exponent.
    // A comma is always a decimal mark: "1,000" is 1.
    std::size_t at = text.find_first_not_of(" \t");
    const std::size_t end = text.find_last_not_of(" \t") + 1;
    if (at == std::string::npos)
        return std::nullopt;
    std::string number;
    auto take = [&](auto wanted) {
        if (at >= end || !wanted(text[at]))
            return false;
        number += text[at] == ',' ? '.' : text[at];
        ++at;
        return true;
    };
    auto isDigit = [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; };
    auto takeDigits = [&] {
        std::size_t count = 0;
        while (take(isDigit))
            ++count;
        return count;
    };
    take([](char c) { return c == '+' || c == '-'; });
    std::size_t digits = takeDigits();
    if (take([](char c) { return c == '.' || c == ','; }))
        digits += takeDigits();
    if (digits == 0)
        return std::nullopt;
    if (take([](char c) { return c == 'e' || c == 'E'; })) {
        take([](char c) { return c == '+' || c == '-'; });
        if (takeDigits() == 0)
            return std::nullopt;
    }
    if (at != end)
        return std::nullopt;
    const double value = std::strtod(number.c_str(), nullptr);
    if (!std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace

std::optional<double> parseDelay(const std::string &text)
{
    const auto value = parseNumber(text);
    if (!value || !(*value > 0))
        return std::nullopt;
    return value;
}

std::optional<double> parseFade(const std::string &text)
{
    const auto value = parseNumber(text);
    if (!value || !(*value >= 0))
        return std::nullopt;
    return std::max(*value, 0.0);   // -0 is no fade either
}

ParsedCommandLine parseCommandLine(const std::vector<std::string> &arguments)
{
    ParsedCommandLine result;
    Options &options = result.options;

    std::vector<std::string> args;
    bool literal = false;
    for (const std::string &argument : arguments) {
        if (!literal && argument.size() > 1 && argument[0] == '@') {
            if (!readListFile(argument.substr(1), args, result.error))
                return result;
            continue;
        }
        if (argument == "--")
            literal = true;
        args.push_back(argument);
    }

    bool haveDelay = false, haveOutput = false, onlyPictures = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &arg = args[i];
        if (onlyPictures || arg.empty() || arg[0] != '-' || arg == "-") {
            options.pictures.push_back(arg);
            continue;
        }
        if (arg == "--") {
            onlyPictures = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            options.help = true;
            return result;
        }
        if (arg == "--version") {
            options.version = true;
            return result;
        }
        if (arg == "--quiet") {
            options.quiet = true;
            continue;
        }
        if (arg == "--stop" || arg == "--loop") {
            options.loop = arg == "--loop";
            continue;
        }
        // Options with a value: "-r 2", "--delay 2" or "--delay=2".
        std::string name = arg, value;
        bool inlineValue = false;
        if (const std::size_t equals = arg.find('='); arg.starts_with("--") && equals != std::string::npos) {
            name = arg.substr(0, equals);
            value = arg.substr(equals + 1);
            inlineValue = true;
        }
        const bool known = name == "-r" || name == "--delay" || name == "-o" || name == "--output"
            || name == "-m" || name == "--max-size" || name == "-q" || name == "--quality"
            || name == "-j" || name == "--jobs" || name == "--fade";
        if (!known) {
            result.error = "unknown option '" + arg + "' (a picture whose name begins with '-' goes after '--')";
            return result;
        }
        if (!inlineValue) {
            if (i + 1 >= args.size()) {
                result.error = "option " + name + " needs a value";
                return result;
            }
            value = args[++i];
        }
        if (name == "-r" || name == "--delay") {
            const auto delay = parseDelay(value);
            if (!delay) {
                result.error = "delay '" + value + "' is not a number greater than 0";
                return result;
            }
            options.delay = *delay;
            haveDelay = true;
        } else if (name == "--fade") {
            const auto fade = parseFade(value);
            if (!fade) {
                result.error = "fade '" + value + "' is not a number of seconds, 0 or more";
                return result;
            }
            options.fade = *fade;
        } else if (name == "-o" || name == "--output") {
            if (value.empty()) {
                result.error = "the output file name is empty";
                return result;
            }
            options.output = value;
            haveOutput = true;
        } else if (name == "-m" || name == "--max-size") {
            if (!parseBox(value, options)) {
                result.error = "size '" + value + "' is not WIDTHxHEIGHT or 0";
                return result;
            }
        } else if (name == "-q" || name == "--quality") {
            const auto quality = parseCount(value, 1, 100);
            if (!quality) {
                result.error = "quality '" + value + "' is not a whole number from 1 to 100";
                return result;
            }
            options.quality = *quality;
        } else {
            const auto jobs = parseCount(value, 1, 256);
            if (!jobs) {
                result.error = "jobs '" + value + "' is not a whole number from 1 to 256";
                return result;
            }
            options.jobs = unsigned(*jobs);
        }
    }

    if (!haveDelay)
        result.error = "no delay given (-r SECONDS)";
    else if (options.pictures.empty())
        result.error = "no pictures given";
    else if (!haveOutput)
        result.error = "no output file given (-o FILE)";
    return result;
}
