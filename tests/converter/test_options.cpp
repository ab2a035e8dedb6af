// The converter's command line, list files included.
#include "Options.h"
#include "TestPictures.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

ParsedCommandLine parse(std::vector<std::string> args)
{
    return parseCommandLine(args);
}

} // namespace

TEST(Delay, AcceptsEitherDecimalMarkAndNothingElse)
{
    EXPECT_EQ(parseDelay("2"), 2.0);
    EXPECT_EQ(parseDelay("1.5"), 1.5);
    EXPECT_EQ(parseDelay("0,5"), 0.5);
    EXPECT_EQ(parseDelay(".5"), 0.5);
    for (const char *bad : {"", "0", "0.0", "-1", "+1", "1.2.3", "1,5.0", "abc", " 2", "2s", "1e3", "inf", "nan"})
        EXPECT_FALSE(parseDelay(bad)) << bad;
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
