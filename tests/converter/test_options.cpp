// The converter's command line, list files included.
#include "Options.h"
#include "TestPictures.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <tuple>
#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

TEST(CommandLine, TheDesktopProgramsFormAndOtherOptions)
{
    auto parsed = parseCommandLine({"-r", "2", "/p/a.jpg", "/p/b c.jpg", "-o", "/out/show.swf"});
    ASSERT_EQ(parsed.error, "");
    EXPECT_EQ(parsed.options.delay, 2.0);
    EXPECT_EQ(parsed.options.pictures, (std::vector<std::string>{"/p/a.jpg", "/p/b c.jpg"}));
    EXPECT_EQ(parsed.options.output, "/out/show.swf");

    parsed = parseCommandLine({"--delay=0,5", "a.jpg", "--output", "o.swf", "-m", "640x480", "-q", "75", "--stop", "-j", "3"});
    ASSERT_EQ(parsed.error, "");
    EXPECT_EQ(std::tuple(parsed.options.delay, parsed.options.maxWidth, parsed.options.maxHeight, parsed.options.quality,
                         parsed.options.loop, parsed.options.jobs),
              std::tuple(0.5, 640, 480, 75, false, 3u));
    EXPECT_EQ(parseCommandLine({"-r", "1", "a", "-o", "o", "--max-size", "0"}).options.maxWidth, 0);
    EXPECT_EQ(parsed.options.fade, 0.0);
    for (const auto &[typed, fade] : std::vector<std::pair<std::string, double>>{{"0,5", 0.5}, {" 0 ", 0}, {"-0", 0}, {"1e1", 10}})
        EXPECT_EQ(parseCommandLine({"-r", "1", "a", "-o", "o", "--fade", typed}).options.fade, fade) << typed;
    EXPECT_TRUE(parseCommandLine({"x", "--help"}).options.help);
    EXPECT_TRUE(parseCommandLine({"--version"}).options.version);
    // An empty argument names no picture.
    EXPECT_EQ(parseCommandLine({"-r", "1", "", "a.jpg", "-o", "o"}).options.pictures, std::vector<std::string>{"a.jpg"});
}

// The help and the parser come from one table: every option the help shows is
// taken, with a value where the help shows one.
TEST(CommandLine, EveryOptionOfTheHelpIsTaken)
{
    std::istringstream help(usageText());
    int options = 0;
    for (std::string line; std::getline(help, line);) {
        std::smatch match;
        if (!std::regex_search(line, match, std::regex(R"(^  (?:(-\w), )?\s*(--[a-z-]+)( [A-Zx]+)?  )")))
            continue;
        for (const std::string &name : {match.str(1), match.str(2)}) {
            if (name.empty())
                continue;
            const auto args = match[3].matched ? std::vector<std::string>{name, "0"} : std::vector<std::string>{name};
            const auto error = parseCommandLine(args).error;
            EXPECT_EQ(error.find("unknown option"), std::string::npos) << name << ": " << error;
            EXPECT_EQ(error.find("value"), std::string::npos) << name << ": " << error;
        }
        ++options;
    }
    EXPECT_EQ(options, 11);
}

TEST(CommandLine, UsageErrorsNameWhatIsWrong)
{
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"a.jpg", "-o", "o.swf"}, "delay"},
        {{"-r", "abc", "a.jpg", "-o", "o.swf"}, "'abc'"},
        {{"-r", "", "a.jpg", "-o", "o.swf"}, "''"},
        {{"-r", "1", "-o", "o.swf"}, "no pictures"},
        {{"-r", "1", "a.jpg"}, "output"},
        {{"-r", "1", "a.jpg", "-o"}, "-o"},
        {{"-r", "1", "-x.jpg", "-o", "o.swf"}, "'-x.jpg'"},
        {{"-r", "1", "a", "-o", "o", "-q", "101"}, "quality"},
        {{"-r", "1", "a", "-o", "o", "-m", "640"}, "size"},
        {{"-r", "1", "a", "-o", "o", "-m", "100000x100000"}, "each from 1 to 65535"},
        {{"-r", "1", "a", "-o", "o", "--fade", "-1"}, "fade '-1'"},
        {{"-r", "1", "a", "-o", "o", "--fade=never"}, "fade 'never'"},
        {{"-r", "1", "a", "-o", "o", "--stop=1"}, "--stop takes no value"},
        // A delay both outputs play, or the bound in readable figures.
        {{"-r", "1e306", "a", "-o", "o"}, "longest a slide show plays, 16,776,960 seconds (194 days)"},
        {{"-r", "1e-320", "a", "-o", "o"}, "shortest a slide show plays, 0.001 seconds"},
        // After "--", -o is a picture; the message says where -o goes.
        {{"-r", "1", "--", "a.jpg", "-o", "o.swf"}, "give -o OUTPUT before '--'"},
    };
    for (const auto &[args, fragment] : cases)
        EXPECT_NE(parseCommandLine(args).error.find(fragment), std::string::npos) << fragment;
}

TEST(CommandLine, AfterTheDoubleDashEverythingIsAPicture)
{
    const auto parsed = parseCommandLine({"-r", "1", "-o", "o.swf", "--", "-o", "--help", "@list", "x.jpg"});
    ASSERT_EQ(parsed.error, "");
    EXPECT_EQ(parsed.options.pictures, (std::vector<std::string>{"-o", "--help", "@list", "x.jpg"}));
    EXPECT_EQ(parsed.options.output, "o.swf");
}

TEST(CommandLine, ListFilesGiveOneLiteralArgumentPerLine)
{
    const testpictures::TemporaryFolder temporary("jpeg2swf-options-");
    const std::filesystem::path &folder = temporary.path;
    const auto list = [&](const std::string &name, const std::string &text) {
        testpictures::writeFile((folder / name).string(), Bytes(text.begin(), text.end()));
        return (folder / name).string();
    };
    // Blank lines, also at the end, name no picture.
    const std::string args = list("args.txt", "\xEF\xBB\xBF-r\r\n1,5\n/p/with blank.jpg\n\n  \n/p/\"quoted\".jpg\n"
                                              "/p/Ünïcödé.jpg\n@not-expanded.jpg\n-o\n/o/show.swf\n\r\n\n");
    const auto parsed = parseCommandLine({"@" + args, "--", "/p/-dash.jpg"});
    ASSERT_EQ(parsed.error, "");
    EXPECT_EQ(parsed.options.delay, 1.5);
    EXPECT_EQ(parsed.options.pictures,
              (std::vector<std::string>{"/p/with blank.jpg", "/p/\"quoted\".jpg", "/p/Ünïcödé.jpg",
                                        "@not-expanded.jpg", "/p/-dash.jpg"}));
    EXPECT_EQ(parsed.options.output, "/o/show.swf");

    // What cannot be a list is refused with its name, a bad line with its number.
    const std::string large = list("large.txt", "");
    std::filesystem::resize_file(large, 65 << 20);
    std::vector<std::pair<std::string, std::string>> refused = {
        {(folder / "missing.txt").string(), "missing.txt: cannot read"},
        {folder.string(), ": is a folder"},
        {large, "large.txt: larger than a list of arguments can be (64 MiB)"},
        {list("zero.txt", std::string("-r\n1\na\0b.jpg\n", 12)), "zero.txt:3: cannot be a path: holds a zero byte"},
    };
#ifdef _WIN32
    refused.push_back({list("latin1.txt", "-r\n1\nPhoto \xE9t\xE9.jpg\n"), "latin1.txt:3: cannot be a path: not UTF-8"});
#else
    const std::string pipe = (folder / "pipe").string();
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    refused.insert(refused.end(), {{pipe, "pipe: not a regular file"}, {"/dev/zero", "/dev/zero: not a regular file"}});
    // The desktop program hands its list over as an inherited descriptor of a
    // file that has lost its name.
    const int handedOver = open(args.c_str(), O_RDONLY);
    std::filesystem::remove(args);
    EXPECT_EQ(parseCommandLine({"@/dev/fd/" + std::to_string(handedOver)}).options.pictures.size(), 4u);
    close(handedOver);
#endif
    for (const auto &[path, message] : refused)
        EXPECT_NE(parseCommandLine({"@" + path}).error.find(message), std::string::npos) << message;
}
