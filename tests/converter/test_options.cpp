// The converter's command line, list files included.
#include "Options.h"
#include "TestPictures.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <tuple>

// Every typed form in the shared table reads as the number it lists, or is refused.
TEST(Delay, ReadsEveryTypedFormOfTheTable)
{
    std::ifstream table(DELAY_FORMS_PATH);
    ASSERT_TRUE(table) << DELAY_FORMS_PATH;
    std::string line;
    int rows = 0;
    while (std::getline(table, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        const std::size_t close = line.rfind('"');
        const std::string typed = line.substr(1, close - 1), expected = line.substr(close + 2);
        const double value = expected == "refused" ? 0 : std::strtod(expected.c_str(), nullptr);
        if (value <= 0)   // not a number, or not a delay
            EXPECT_FALSE(parseDelay(typed)) << '"' << typed << '"';
        else
            EXPECT_EQ(parseDelay(typed), value) << '"' << typed << '"';
        ++rows;
    }
    EXPECT_GT(rows, 0);
}

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
        {{"-r", "1", "a", "-o", "o", "--fade", "-1"}, "fade '-1'"},
        {{"-r", "1", "a", "-o", "o", "--fade=never"}, "fade 'never'"},
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
    // Named without mkdtemp, which Windows has not.
    const std::filesystem::path folder = std::filesystem::temp_directory_path()
        / ("jpeg2swf-options-" + std::to_string(std::random_device{}()));
    std::filesystem::create_directory(folder);
    const std::string list = (folder / "args.txt").string();
    const std::string text = "\xEF\xBB\xBF-r\r\n1,5\n/p/with blank.jpg\n/p/\"quoted\".jpg\n/p/Ünïcödé.jpg\n"
                             "@not-expanded.jpg\n-o\n/o/show.swf\n";
    testpictures::writeFile(list, testpictures::Bytes(text.begin(), text.end()));

    const auto parsed = parseCommandLine({"@" + list, "--", "/p/-dash.jpg"});
    ASSERT_EQ(parsed.error, "");
    EXPECT_EQ(parsed.options.delay, 1.5);
    EXPECT_EQ(parsed.options.pictures,
              (std::vector<std::string>{"/p/with blank.jpg", "/p/\"quoted\".jpg", "/p/Ünïcödé.jpg",
                                        "@not-expanded.jpg", "/p/-dash.jpg"}));
    EXPECT_EQ(parsed.options.output, "/o/show.swf");

    EXPECT_NE(parseCommandLine({"@" + (folder / "missing.txt").string()}).error.find("missing.txt"), std::string::npos);
    std::filesystem::remove_all(folder);
}
