// The converter's command line, list files included.
#include "Options.h"
#include "TestPictures.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

ParsedCommandLine parse(std::vector<std::string> args)
{
    return parseCommandLine(args);
}

} // namespace

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

TEST(CommandLine, TheDesktopProgramsFormAndItsDefaults)
{
    const auto parsed = parse({"-r", "2", "/p/a.jpg", "/p/b c.jpg", "-o", "/out/show.swf"});
    ASSERT_EQ(parsed.error, "");
    EXPECT_EQ(parsed.options.delay, 2.0);
    EXPECT_EQ(parsed.options.pictures, (std::vector<std::string>{"/p/a.jpg", "/p/b c.jpg"}));
    EXPECT_EQ(parsed.options.output, "/out/show.swf");
    EXPECT_EQ(parsed.options.maxWidth, 1920);
    EXPECT_EQ(parsed.options.maxHeight, 1080);
    EXPECT_EQ(parsed.options.quality, 90);
    EXPECT_TRUE(parsed.options.loop);
}

TEST(CommandLine, OptionsAndTheirValues)
{
    const auto parsed = parse({"--delay=0,5", "a.jpg", "--output", "o.swf", "-m", "640x480", "-q", "75",
                               "--stop", "-j", "3"});
    ASSERT_EQ(parsed.error, "");
    EXPECT_EQ(parsed.options.delay, 0.5);
    EXPECT_EQ(parsed.options.maxWidth, 640);
    EXPECT_EQ(parsed.options.maxHeight, 480);
    EXPECT_EQ(parsed.options.quality, 75);
    EXPECT_FALSE(parsed.options.loop);
    EXPECT_EQ(parsed.options.jobs, 3u);
    EXPECT_EQ(parse({"-r", "1", "a", "-o", "o", "--max-size", "0"}).options.maxWidth, 0);
}

TEST(CommandLine, UsageErrorsNameWhatIsWrong)
{
    EXPECT_NE(parse({"a.jpg", "-o", "o.swf"}).error.find("delay"), std::string::npos);
    EXPECT_NE(parse({"-r", "abc", "a.jpg", "-o", "o.swf"}).error.find("'abc'"), std::string::npos);
    EXPECT_NE(parse({"-r", "", "a.jpg", "-o", "o.swf"}).error.find("''"), std::string::npos);
    EXPECT_NE(parse({"-r", "1", "-o", "o.swf"}).error.find("no pictures"), std::string::npos);
    EXPECT_NE(parse({"-r", "1", "a.jpg"}).error.find("output"), std::string::npos);
    EXPECT_NE(parse({"-r", "1", "a.jpg", "-o"}).error.find("-o"), std::string::npos);
    EXPECT_NE(parse({"-r", "1", "-x.jpg", "-o", "o.swf"}).error.find("'-x.jpg'"), std::string::npos);
    EXPECT_NE(parse({"-r", "1", "a", "-o", "o", "-q", "101"}).error.find("quality"), std::string::npos);
    EXPECT_NE(parse({"-r", "1", "a", "-o", "o", "-m", "640"}).error.find("size"), std::string::npos);
    EXPECT_TRUE(parse({"x", "--help"}).options.help);
    EXPECT_TRUE(parse({"--version"}).options.version);
}

TEST(CommandLine, AfterTheDoubleDashEverythingIsAPicture)
{
    const auto parsed = parse({"-r", "1", "-o", "o.swf", "--", "-o", "--help", "@list", "x.jpg"});
    ASSERT_EQ(parsed.error, "");
    EXPECT_EQ(parsed.options.pictures, (std::vector<std::string>{"-o", "--help", "@list", "x.jpg"}));
    EXPECT_EQ(parsed.options.output, "o.swf");
}

TEST(CommandLine, ListFilesGiveOneLiteralArgumentPerLine)
{
    const auto folder = std::filesystem::temp_directory_path() / "jpeg2swf-options-test";
    std::filesystem::create_directories(folder);
    const std::string list = (folder / "args.txt").string();
    const std::string text = "\xEF\xBB\xBF-r\r\n1,5\n/p/with blank.jpg\n/p/\"quoted\".jpg\n/p/Ünïcödé.jpg\n"
                             "@not-expanded.jpg\n-o\n/o/show.swf\n";
    testpictures::writeFile(list, testpictures::Bytes(text.begin(), text.end()));

    const auto parsed = parse({"@" + list, "--", "/p/-dash.jpg"});
    ASSERT_EQ(parsed.error, "");
    EXPECT_EQ(parsed.options.delay, 1.5);
    EXPECT_EQ(parsed.options.pictures,
              (std::vector<std::string>{"/p/with blank.jpg", "/p/\"quoted\".jpg", "/p/Ünïcödé.jpg",
                                        "@not-expanded.jpg", "/p/-dash.jpg"}));
    EXPECT_EQ(parsed.options.output, "/o/show.swf");

    EXPECT_NE(parse({"@" + (folder / "missing.txt").string()}).error.find("missing.txt"), std::string::npos);
    std::filesystem::remove_all(folder);
}
