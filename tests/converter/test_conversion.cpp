// The real jpeg2swf on real files, with ffmpeg as the independent reader of
// what it writes.
#include "Run.h"
#include "SwfReader.h"
#include "TestPictures.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <pty.h>
#include <regex>
#include <set>
#include <thread>
#include <tuple>
#include <unistd.h>
#include <sys/stat.h>
#include <sys/wait.h>

namespace fs = std::filesystem;
using namespace testpictures;
using testrun::jpeg2swf;

namespace {

// Becomes jpeg2swf with these arguments (in a forked child).
[[noreturn]] void execConverter(const std::vector<std::string> &args)
{
    std::vector<std::string> command = testrun::jpeg2swfCommand();
    command.insert(command.end(), args.begin(), args.end());
    std::vector<char *> argv;
    for (auto &arg : command)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
}

class Conversion : public testing::Test
{
protected:

    std::string file(const std::string &name, const Bytes &bytes)
    {
        const std::string path = (folder / name).string();
        writeFile(path, bytes);
        return path;
    }
    std::string path(const std::string &name) const { return (folder / name).string(); }

    // Starts jpeg2swf and returns once it has checked its pictures and holds
    // its output open: an unnamed file (shown as "#INODE") or a hidden one.
    pid_t startWriting(std::vector<std::string> args, const std::string &errors = "/dev/null")
    {
        const pid_t child = fork();
        if (child == 0) {
            const int sink = open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            dup2(sink, STDERR_FILENO);
            execConverter(args);
        }
        const auto writing = [&] {
            // Windows has no unnamed files: its temporary file is always in sight.
            if (testrun::windowsConverter())
                return !hiddenFiles().empty();
            for (const auto &open : fs::directory_iterator("/proc/" + std::to_string(child) + "/fd")) {
                std::error_code ignored;
                const fs::path target = fs::read_symlink(open, ignored);
                if (target.parent_path() == folder && (target.filename().string().starts_with("#")
                                                       || target.filename().string().starts_with(".")))
                    return true;
            }
            return false;
        };
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!writing() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        EXPECT_TRUE(writing());
        return child;
    }

    // Files in the folder whose name begins with a dot: temporary files.
    std::vector<std::string> hiddenFiles() const
    {
        std::vector<std::string> hidden;
        for (const auto &entry : fs::directory_iterator(folder))
            if (entry.path().filename().string().starts_with("."))
                hidden.push_back(entry.path().filename().string());
        return hidden;
    }

    const TemporaryFolder temporary{"jpeg2swf-conversion-"};
    const fs::path &folder = temporary.path;
};

int exitStatus(pid_t child)
{
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// While it lives, converters started find no unnamed files (O_TMPFILE), as on
// file systems without them, and write a hidden named file from the start.
struct WithoutUnnamedFiles {
    explicit WithoutUnnamedFiles(bool active) : active(active)
    {
        if (active)
            setenv("LD_PRELOAD", NO_UNNAMED_FILES_PATH, 1);
    }
    ~WithoutUnnamedFiles()
    {
        if (active)
            unsetenv("LD_PRELOAD");
    }
    const bool active;
};

// Both ways the output is written on Linux; Windows has only the hidden file.
std::vector<bool> withAndWithoutUnnamedFiles()
{
    return testrun::windowsConverter() ? std::vector{false} : std::vector{false, true};
}

bool near(int a, int b, int tolerance = 14)
{
    return std::abs(a - b) <= tolerance;
}

} // namespace

TEST_F(Conversion, EveryKindOfPictureDecodesInOrderAtItsShownSize)
{
    struct Input {
        std::string name;
        Bytes bytes;
        int storedWidth, storedHeight;     // as embedded (before orientation)
        int shownWidth, shownHeight;
        Colour mean;
    };
    const Bytes big = makeJpeg(10000, 7000, {120, 40, 160});
    const std::vector<Input> inputs = {
        {"a.jpg", withExif(makeJpeg(800, 600, {200, 30, 30}), 1), 800, 600, 800, 600, {200, 30, 30}},
        {"b444.jpg", makeJpeg(640, 480, {30, 180, 30}, JpegKind::Baseline, Chroma::S444), 640, 480, 640, 480, {30, 180, 30}},
        {"c 'quoted' Ölberg ☀.jpg", makeJpeg(800, 600, {30, 30, 200}, JpegKind::Progressive), 800, 600, 800, 600, {30, 30, 200}},
        {"d.jpg", makeJpeg(400, 300, {220, 220, 40}, JpegKind::Arithmetic), 400, 300, 400, 300, {220, 220, 40}},
        {"e.jpg", makeJpeg(300, 300, {128, 128, 128}, JpegKind::Greyscale), 300, 300, 300, 300, {128, 128, 128}},
        {"f.jpg", makeJpeg(320, 240, {250, 20, 250}, JpegKind::Cmyk), 320, 240, 320, 240, {250, 20, 250}},
        {"g.png", makePng(200, 100, {0, 240, 240}, true), 200, 100, 200, 100, {0, 120, 120}},
        {"h.gif", makeGif(150, 150, {250, 140, 0}), 150, 150, 150, 150, {250, 140, 0}},
        {"i.jpg", makeJpeg(1, 1, {250, 250, 250}), 1, 1, 1, 1, {250, 250, 250}},
        {"j.jpg", withExif(makeJpeg(600, 200, {0, 128, 128}), 6), 600, 200, 200, 600, {0, 128, 128}},
        {"k.jpg", big, 800, 560, 800, 560, {120, 40, 160}},
        {"l.jpg", withExif(makeJpeg(1600, 1200, {90, 60, 30}, JpegKind::Progressive), 8), 600, 450, 450, 600, {90, 60, 30}},
    };
    std::vector<std::string> args{"-r", "1"};
    for (const Input &input : inputs)
        args.push_back(file(input.name, input.bytes));
    args.insert(args.end(), {"-o", path("show.swf")});

    const auto result = jpeg2swf(args);
    ASSERT_EQ(result.status, 0) << result.errors;

    const auto frames = testrun::decodedFrames(path("show.swf"));
    ASSERT_EQ(frames.size(), inputs.size());
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        SCOPED_TRACE(inputs[i].name);
        EXPECT_EQ(frames[i].width, inputs[i].storedWidth);
        EXPECT_EQ(frames[i].height, inputs[i].storedHeight);
        EXPECT_TRUE(near(frames[i].r, inputs[i].mean.r) && near(frames[i].g, inputs[i].mean.g)
                    && near(frames[i].b, inputs[i].mean.b))
            << frames[i].r << "," << frames[i].g << "," << frames[i].b;
    }

    const Bytes swf = readFile(path("show.swf"));
    const auto movie = swfread::parse(swf);
    EXPECT_EQ(movie.stageWidth, 800 * 20);
    EXPECT_EQ(movie.stageHeight, 600 * 20);
    ASSERT_EQ(movie.pictures.size(), inputs.size());
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        SCOPED_TRACE(inputs[i].name);
        const auto &picture = movie.pictures[i];
        EXPECT_EQ(picture.shapeWidth, inputs[i].shownWidth * 20);
        EXPECT_EQ(picture.shapeHeight, inputs[i].shownHeight * 20);
        EXPECT_EQ(picture.placement.translateX, (800 - inputs[i].shownWidth) * 10);
        EXPECT_EQ(picture.placement.translateY, (600 - inputs[i].shownHeight) * 10);
    }
    // The turned pictures are filled turned: a quarter clockwise, a quarter back.
    EXPECT_TRUE(movie.pictures[9].fill.scaleX == 0 && movie.pictures[9].fill.skew0 == 20 && movie.pictures[9].fill.skew1 == -20);
    EXPECT_TRUE(movie.pictures[11].fill.scaleX == 0 && movie.pictures[11].fill.skew0 == -20 && movie.pictures[11].fill.skew1 == 20);
    // No metadata reaches the slide show.
    const std::string text(swf.begin(), swf.end());
    EXPECT_EQ(text.find("CAMERA-SERIAL"), std::string::npos);
    EXPECT_EQ(text.find("51.5N"), std::string::npos);
    EXPECT_EQ(text.find("Exif"), std::string::npos);
    EXPECT_TRUE(hiddenFiles().empty());
}

TEST_F(Conversion, EachPictureIsHeldForTheDelay)
{
    const std::vector<std::string> pictures = {file("1.jpg", makeJpeg(64, 48, {255, 0, 0})),
                                               file("2.jpg", makeJpeg(64, 48, {0, 255, 0})),
                                               file("3.jpg", makeJpeg(64, 48, {0, 0, 255}))};
    struct Case {
        std::string delay;
        double seconds;
        bool stop;
    };
    for (const Case &c : {Case{"0.25", 0.25, false}, Case{"1,5", 1.5, true}}) {
        SCOPED_TRACE(c.delay);
        std::vector<std::string> args{"-r", c.delay, "-o", path("timed.swf")};
        args.insert(args.end(), pictures.begin(), pictures.end());
        if (c.stop)
            args.push_back("--stop");
        ASSERT_EQ(jpeg2swf(args).status, 0);

        const Bytes bytes = readFile(path("timed.swf"));
        const auto movie = swfread::parse(bytes);
        EXPECT_EQ(movie.signature, "FWS");
        EXPECT_GE(movie.version, 8);
        EXPECT_EQ(movie.fileLength, bytes.size());
        EXPECT_EQ(movie.tagCodes.front(), 69);   // FileAttributes first
        EXPECT_EQ(movie.tagCodes.back(), 0);     // End last
        ASSERT_GT(movie.frameRate88, 0);
        EXPECT_LT(movie.frameRate88, 0x8000);
        EXPECT_EQ(movie.frameCount, movie.showFrames);
        ASSERT_EQ(movie.pictures.size(), 3u);
        for (const auto &picture : movie.pictures) {
            const double shown = picture.frames / (movie.frameRate88 / 256.0);
            EXPECT_NEAR(shown, c.seconds, c.seconds * 0.005);
        }
        EXPECT_EQ(movie.stops, c.stop);
        EXPECT_EQ(testrun::decodedFrames(path("timed.swf")).size(), 3u);
        // Pictures embedded as they are: the Windows converter writes the same bytes.
        if (testrun::windowsConverter()) {
            args[3] = path("linux.swf");
            ASSERT_EQ(testrun::run(JPEG2SWF_PATH, args).status, 0);
            EXPECT_EQ(readFile(path("linux.swf")), bytes);
        }
    }
}

TEST_F(Conversion, CrossfadesBlendEachPictureIntoTheNextWithinItsDelay)
{
    const std::vector<std::string> pictures = {file("1.jpg", makeJpeg(64, 48, {255, 0, 0})),
                                               file("2.jpg", makeJpeg(32, 48, {0, 255, 0})),
                                               file("3.jpg", makeJpeg(64, 24, {0, 0, 255}))};
    struct Case {
        std::vector<std::string> options;
        double delay, fade;
        bool loop;
    };
    for (const Case &c : {Case{{"-r", "2", "--fade", "0.5"}, 2, 0.5, true},
                          Case{{"-r", "0,3", "--fade=1", "--stop"}, 0.3, 0.15, false}}) {
        SCOPED_TRACE(c.delay);
        std::vector<std::string> args = c.options;
        args.insert(args.end(), pictures.begin(), pictures.end());
        args.insert(args.end(), {"-o", path("fade.swf")});
        ASSERT_EQ(jpeg2swf(args).status, 0);
        const Bytes bytes = readFile(path("fade.swf"));
        const auto movie = swfread::parse(bytes);
        EXPECT_EQ(testrun::decodedFrames(path("fade.swf")).size(), 3u);   // each picture stored once
        ASSERT_EQ(movie.pictures.size(), 3u);
        ASSERT_EQ(movie.frameCount, movie.frames.size());
        EXPECT_EQ(movie.fileLength, bytes.size());
        EXPECT_EQ(movie.stops, !c.loop);
        const double rate = movie.frameRate88 / 256.0;
        EXPECT_GE(rate, 25);

        // Runs of frames: a picture alone (into -1), or the next over it with
        // its alpha rising frame by frame.
        struct Run {
            int picture, into, frames;
            bool operator==(const Run &) const = default;
        };
        std::vector<Run> runs;
        int alpha = 0;
        for (const auto &frame : movie.frames) {
            ASSERT_TRUE(frame.size() >= 1 && frame.size() <= 3);
            EXPECT_TRUE(frame[0].depth == 1 && frame[0].alpha88 == 256);
            const Run run{frame[0].characterId / 2 - 1, frame.size() > 1 ? frame[1].characterId / 2 - 1 : -1, 1};
            if (run.into >= 0) {
                EXPECT_EQ(frame[1].depth, 2);
                EXPECT_TRUE(frame[1].alpha88 > alpha && frame[1].alpha88 < 256) << frame[1].alpha88;
                alpha = frame[1].alpha88;
                // A picture narrower or lower than the stage brings the black around it, as
                // rectangles that cover the rest of the stage, at its alpha.
                const auto &into = movie.pictures[std::size_t(run.into)];
                const swfread::Box shown{into.placement.translateX, into.placement.translateX + into.shapeWidth,
                                         into.placement.translateY, into.placement.translateY + into.shapeHeight};
                std::vector<swfread::Box> boxes{shown};
                if (frame.size() == 3) {
                    EXPECT_TRUE(frame[2].depth == 3 && frame[2].alpha88 == alpha);
                    const auto &margins = movie.margins.at(frame[2].characterId);
                    boxes.insert(boxes.end(), margins.begin(), margins.end());
                }
                std::int64_t covered = 0;   // by boxes inside the stage, none over another
                for (std::size_t b = 0; b < boxes.size(); ++b) {
                    const auto &[xMin, xMax, yMin, yMax] = boxes[b];
                    covered += std::int64_t(xMax - xMin) * (yMax - yMin);
                    EXPECT_TRUE(xMin >= 0 && yMin >= 0 && xMax <= movie.stageWidth && yMax <= movie.stageHeight);
                    for (std::size_t o = 0; o < b; ++o)
                        EXPECT_TRUE(xMax <= boxes[o].xMin || boxes[o].xMax <= xMin || yMax <= boxes[o].yMin
                                    || boxes[o].yMax <= yMin);
                }
                EXPECT_EQ(covered, std::int64_t(movie.stageWidth) * movie.stageHeight);
            } else {
                alpha = 0;
            }
            if (!runs.empty() && runs.back().picture == run.picture && runs.back().into == run.into)
                ++runs.back().frames;
            else
                runs.push_back(run);
        }
        const int perPicture = int(movie.frames.size() / 3), fade = runs.at(1).frames;
        std::vector<Run> expected{{0, -1, perPicture - fade}, {0, 1, fade}, {1, -1, perPicture - fade},
                                  {1, 2, fade}, {2, -1, perPicture - fade}, {2, 0, fade}};
        if (!c.loop) {
            expected.pop_back();                   // no fade after the last picture,
            expected.back().frames = perPicture;   // which is whole for all its frames
        }
        EXPECT_EQ(runs, expected);
        EXPECT_NEAR(perPicture / rate, c.delay, c.delay * 0.005);
        EXPECT_NEAR(fade / rate, c.fade, 0.51 / rate);   // to the nearest frame
    }
    // Without a fade, the slide show is the one written without the option.
    ASSERT_EQ(jpeg2swf({"-r", "2", pictures[0], pictures[1], "-o", path("cut.swf")}).status, 0);
    ASSERT_EQ(jpeg2swf({"-r", "2", "--fade", "0", pictures[0], pictures[1], "-o", path("zero.swf")}).status, 0);
    EXPECT_EQ(readFile(path("zero.swf")), readFile(path("cut.swf")));
}

TEST_F(Conversion, TheLongestDelayPlaysInBothOutputs)
{
    const std::string picture = file("a.jpg", makeJpeg(64, 48, {255, 0, 0}));
    ASSERT_EQ(jpeg2swf({"-r", "16776960", picture, "-o", path("long.swf")}).status, 0);
    const auto movie = swfread::parse(readFile(path("long.swf")));
    ASSERT_EQ(movie.pictures.size(), 1u);
    EXPECT_NEAR(movie.pictures[0].frames * 256.0 / movie.frameRate88, 16776960.0, 16776960.0 * 0.005);
    ASSERT_EQ(jpeg2swf({"-r", "16776960", picture, "-o", path("long.html")}).status, 0);
    const Bytes page = readFile(path("long.html"));
    EXPECT_NE(std::string(page.begin(), page.end()).find("delay = 16776960000,"), std::string::npos);
}

// Every example of the README (its sh blocks) and of jpeg2swf(1) (its EXAMPLES)
// runs as written and writes what it names.
TEST_F(Conversion, EveryDocumentedExampleRuns)
{
    const auto source = [](const std::string &name) {
        const Bytes text = readFile(std::string(SOURCE_PATH) + "/" + name);
        return std::string(text.begin(), text.end());
    };
    const auto blocks = [](const std::string &text, const std::string &open, const std::string &close) {
        std::vector<std::string> found;
        for (std::size_t at = 0; (at = text.find(open, at)) != std::string::npos; at += open.size())
            found.push_back(text.substr(at + open.size(), text.find(close, at + open.size()) - at - open.size()));
        return found;
    };
    std::vector<std::string> scripts = blocks(source("README.md"), "\n```sh\n", "\n```");
    std::string manual = source("docs/man/jpeg2swf.1");
    manual = std::regex_replace(manual.substr(manual.find(".SH EXAMPLES")), std::regex(R"(\\-)"), "-");
    for (const std::string &script : blocks(std::regex_replace(manual, std::regex(R"(\\e)"), "\\"), "\n.nf\n", "\n.fi"))
        scripts.push_back(script);
    EXPECT_GE(scripts.size(), 5u);

    fs::create_directory(folder / "photos");
    for (const std::string name : {"a.jpg", "b.jpg", "c.jpg", "photos/1.jpg", "photos/2.jpg"})
        file(name, makeJpeg(64, 48, {200, 30, 30}));
    std::string converter = "jpeg2swf() { ";
    for (const std::string &part : testrun::jpeg2swfCommand())
        converter += "'" + part + "' ";
    converter += "\"$@\"; }\n";
    for (const std::string &script : scripts) {
        SCOPED_TRACE(script);
        const auto result = testrun::run("bash", {"-euo", "pipefail", "-c",
                                                  "cd '" + folder.string() + "'\n" + converter + script});
        EXPECT_EQ(result.status, 0) << result.errors;
        const std::regex output(R"(-o (\S+))");
        std::set<std::string> outputs;
        for (std::sregex_iterator named(script.begin(), script.end(), output), end; named != end; ++named)
            outputs.insert(path((*named)[1]));
        for (const std::string &written : outputs) {
            EXPECT_GT(readFile(written).size(), 1000u) << written;
            fs::remove(written);
        }
    }
}

TEST_F(Conversion, BadPicturesAreAllNamedAndNothingIsWritten)
{
    const Bytes good = makeJpeg(64, 64, {1, 2, 3});
    const Bytes progressive = makeJpeg(64, 64, {1, 2, 3}, JpegKind::Progressive);
    const Bytes grey = makeJpeg(64, 64, {1, 2, 3}, JpegKind::Greyscale);
    Bytes tooWide = good;   // the frame header's width, 65501
    const std::size_t frame = std::string(good.begin(), good.end()).find("\xFF\xC0");
    tooWide[frame + 7] = 0xFF;
    tooWide[frame + 8] = 0xDD;
    const std::string ok = file("ok.jpg", good);
    const std::string folderPicture = path("folder.jpg");
    fs::create_directory(folderPicture);
    // Each with the reason it is named for. Those that pass the markers'
    // check are found while the slide show is written, with good pictures
    // between them: every one is still named.
    std::vector<std::pair<std::string, std::string>> bad{
        {file("truncated.jpg", Bytes(good.begin(), good.end() - 100)), "truncated"},
        {file("empty.jpg", {}), "empty file"},
        {folderPicture, "is a folder"},
        {file("text.jpg", {'h', 'e', 'l', 'l', 'o', '\n'}), "not a JPEG, PNG or GIF picture"},
        {file("png-named.jpg", Bytes{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0}), "damaged PNG"},
        {path("missing.jpg"), "No such file"},
        {file("wide.jpg", tooWide), "65501 x 64 pixels: larger than a JPEG decoder reads"},
        {file("no-dqt.jpg", damaged(good, Damage::NoQuantTable)), "Quantization table 0x00 was not defined"},
        {file("dqt-ff.jpg", damaged(good, Damage::FrameNamesTable255)), "Quantization table 0xff was not defined"},
        {file("huffman.jpg", damaged(good, Damage::OversubscribedHuffman)), "Bogus Huffman table definition"},
        {file("cut-scan.jpg", damaged(good, Damage::ScanCutShort)), "damaged picture data: premature end"},
        {file("junk.jpg", damaged(good, Damage::JunkBeforeEnd)), "extraneous bytes before marker 0xd9"},
        {file("cut-progressive.jpg", damaged(progressive, Damage::ScanCutShort)), "damaged picture data"},
        {file("cut-grey.jpg", damaged(grey, Damage::ScanCutShort)), "damaged picture data"},
    };
    // A Linux pipe means nothing to a Windows program.
    if (!testrun::windowsConverter()) {
        ASSERT_EQ(mkfifo(path("pipe.jpg").c_str(), 0600), 0);
        bad.emplace_back(path("pipe.jpg"), "not a regular file");
    }
    std::vector<std::string> pictures{ok};
    for (const auto &[picture, reason] : bad)
        pictures.insert(pictures.end(), {picture, ok});

    for (const std::string output : {"show.swf", "show.html"}) {
        SCOPED_TRACE(output);
        file(output, {'o', 'l', 'd'});
        // Under a timeout: a picture that blocks the run must fail the test, not hang it.
        std::vector<std::string> command{"-s", "KILL", "120"};
        for (const auto &part : testrun::jpeg2swfCommand())
            command.push_back(part);
        command.insert(command.end(), {"-r", "1", "-o", path(output), "--"});
        command.insert(command.end(), pictures.begin(), pictures.end());
        const auto result = testrun::run("timeout", command);
        EXPECT_EQ(result.status, 1);
        for (const auto &[picture, reason] : bad)
            EXPECT_NE(result.errors.find("jpeg2swf: " + picture + ": "), std::string::npos) << picture << "\n" << result.errors;
        for (const auto &[picture, reason] : bad)
            EXPECT_NE(result.errors.find(reason), std::string::npos) << reason;
        EXPECT_EQ(result.errors.find(ok + ":"), std::string::npos);
        EXPECT_EQ(readFile(path(output)), (Bytes{'o', 'l', 'd'}));
    }
    // Kept at its own size, a PNG wider than libjpeg's limit cannot become a JPEG.
    const auto wide = jpeg2swf({"-r", "1", "-m", "0", file("wide.png", makePng(65501, 1, {1, 2, 3})), "-o", path("w.swf")});
    EXPECT_EQ(wide.status, 1);
    EXPECT_NE(wide.errors.find("wide.png: 65501 x 1 pixels: larger than a JPEG decoder reads"), std::string::npos) << wide.errors;
    EXPECT_TRUE(hiddenFiles().empty());
}

TEST_F(Conversion, AWebPageHoldsTheSwfsPicturesAndNoMetadata)
{
    fs::create_directory(folder / "Private Folder");
    const std::vector<std::string> pictures = {
        file("Private Folder/a.jpg", withExif(makeJpeg(320, 240, {200, 30, 30}), 6)),
        file("Private Folder/b.png", makePng(100, 50, {0, 240, 240}))};
    for (const std::string output : {"show.swf", "Show.HTM"}) {
        std::vector<std::string> args{"-r", "1", "-o", path(output)};
        args.insert(args.end(), pictures.begin(), pictures.end());
        ASSERT_EQ(jpeg2swf(args).status, 0);
    }
    const Bytes page = readFile(path("Show.HTM"));
    const std::string text(page.begin(), page.end());
    EXPECT_NE(text.find("<title>Show</title>"), std::string::npos);
    // Nothing loads from anywhere: a policy of its own sources only (blob: images, inline script
    // and style), set in the head before any script.
    const std::string head = text.substr(0, text.find("</head>"));
    std::smatch policy;
    ASSERT_TRUE(std::regex_search(head, policy, std::regex("<meta http-equiv=\"Content-Security-Policy\" "
                                                           "content=\"default-src 'none';([^\"]*)\">")));
    EXPECT_TRUE(std::regex_match(policy[1].str(), std::regex("( (img-src blob:|(style|script)-src 'unsafe-inline');?)*")))
        << policy[1];
    EXPECT_EQ(head.find("<script"), std::string::npos);
    EXPECT_EQ(text.find("Private"), std::string::npos);
    // Each picture as the SWF holds it, in base64 (coreutils' own encoding).
    for (const auto &picture : swfread::parse(readFile(path("show.swf"))).pictures) {
        writeFile(path("picture.jpg"), picture.jpeg);
        const std::string base64 = testrun::run("base64", {"-w0", path("picture.jpg")}).output;
        EXPECT_NE(text.find(">" + base64 + "</script>"), std::string::npos);
        const std::string jpeg(picture.jpeg.begin(), picture.jpeg.end());
        EXPECT_EQ(jpeg.find("CAMERA-SERIAL"), std::string::npos);
        EXPECT_EQ(jpeg.find("Exif"), std::string::npos);
    }
}

TEST_F(Conversion, OutputProblemsAreNamedAndLeaveNothingBehind)
{
    const Bytes picture = makeJpeg(64, 64, {9, 9, 9});
    const std::string original = file("a.jpg", picture);
    fs::create_directory(folder / "sub");
    fs::create_directory(folder / "out.swf");
    fs::create_hard_link(original, folder / "hardlink.jpg");
    ASSERT_EQ(mkfifo(path("pipe.swf").c_str(), 0600), 0);   // like a device: never replaced

    // "jpeg2swf -r 2 -o *.jpg" expanded by the shell: a photo is never replaced,
    // whatever its name says; nor is any other picture.
    const Bytes photo = makeJpeg(32, 32, {1, 1, 1}), png = makePng(8, 8, {2, 2, 2}), gif = makeGif(8, 8, {3, 3, 3});
    const std::string photoName = file("IMG_0001.jpg", photo);
    file("drawing.png", png);
    file("anim.swf", gif);

    for (const auto &[output, reason] : std::vector<std::pair<std::string, std::string>>{
             {path("hardlink.jpg"), ": is a JPEG picture"}, {path("sub/../a.jpg"), ": is a JPEG picture"},
             {photoName, ": is a JPEG picture; a slide show never replaces a picture"},
             {path("drawing.png"), ": is a PNG picture"}, {path("anim.swf"), ": is a GIF picture"},
             {path(std::string(252, 'n') + ".swf"), ": File name too long"},
             {path("no/such/folder/show.swf"), ""}, {path("out.swf"), ": is a folder"},
             {path("pipe.swf"), ": not a regular file"}}) {
        const auto result = jpeg2swf({"-r", "2", "-o", output, original});
        EXPECT_EQ(result.status, 1);
        EXPECT_NE(result.errors.find(output + reason), std::string::npos) << result.errors;
    }
    EXPECT_EQ(readFile(original), picture);
    EXPECT_EQ(readFile(photoName), photo);
    EXPECT_EQ(readFile(path("drawing.png")), png);
    EXPECT_EQ(readFile(path("anim.swf")), gif);
    EXPECT_TRUE(fs::is_fifo(path("pipe.swf")));
    EXPECT_TRUE(hiddenFiles().empty());
}

TEST_F(Conversion, AnyNameWorksLinksAreFollowedAndAReplacedOutputKeepsItsMode)
{
    const std::string picture = file("a.jpg", makeJpeg(64, 48, {9, 9, 9}));
    // The longest name a file system takes: the hidden file's name is longer.
    const std::string longest = path(std::string(251, 'n') + ".swf");
    for (const bool named : withAndWithoutUnnamedFiles()) {
        const WithoutUnnamedFiles fallback(named);
        const auto result = jpeg2swf({"-r", "1", picture, "-o", longest});
        EXPECT_EQ(result.status, 0) << result.errors;
        EXPECT_EQ(testrun::decodedFrames(longest).size(), 1u);
        EXPECT_TRUE(hiddenFiles().empty());
    }
    if (testrun::windowsConverter())
        GTEST_SKIP() << "Windows files have no mode bits; the converter replaces a link there";

    // A link, also to a file not there yet, stays a link and its target gets the show.
    fs::create_directory(folder / "shows");
    fs::create_symlink("shows/new.swf", folder / "new-link.swf");
    fs::create_symlink("new-link.swf", folder / "link-to-link.swf");
    writeFile(path("shows/old.swf"), {'o', 'l', 'd'});
    fs::create_symlink(path("shows/old.swf"), folder / "old-link.swf");
    for (const std::string link : {"link-to-link.swf", "old-link.swf"}) {
        ASSERT_EQ(jpeg2swf({"-r", "1", picture, "-o", path(link)}).status, 0);
        EXPECT_TRUE(fs::is_symlink(folder / link));
    }
    EXPECT_EQ(testrun::decodedFrames(path("shows/new.swf")).size(), 1u);
    EXPECT_EQ(testrun::decodedFrames(path("shows/old.swf")).size(), 1u);

    // A private file stays private; its group stays where this user may set it.
    gid_t group = getuid() == 0 ? 1 : getegid();
    std::vector<gid_t> groups(256);
    groups.resize(std::size_t(std::max(0, getgroups(int(groups.size()), groups.data()))));
    for (const gid_t member : groups)
        group = member != getegid() ? member : group;
    ASSERT_EQ(chown(path("shows/old.swf").c_str(), uid_t(-1), group), 0);
    ASSERT_EQ(chmod(path("shows/old.swf").c_str(), 0600), 0);
    ASSERT_EQ(jpeg2swf({"-r", "2", picture, "-o", path("old-link.swf")}).status, 0);
    struct stat replaced {};
    ASSERT_EQ(stat(path("shows/old.swf").c_str(), &replaced), 0);
    EXPECT_EQ(replaced.st_mode & 07777, 0600u);
    EXPECT_EQ(replaced.st_gid, group);
}

TEST_F(Conversion, AKilledRunLeavesNoOutput)
{
    const std::string picture = file("a.jpg", makeJpeg(3000, 2000, {50, 100, 150}));
    std::vector<std::string> args{"-r", "1", "-j", "1", "-m", "1500x1000"};
    for (int i = 0; i < 200; ++i)
        args.push_back(picture);
    args.insert(args.end(), {"-o", path("show.swf")});

    // Wine hands SIGINT to the Windows converter as Ctrl+C, which ends it with
    // STATUS_CONTROL_C_EXIT (0xC000013A; an exit status keeps its low byte).
    // No SIGKILL there: a Windows file cannot be unnamed, so a killed run
    // leaves its hidden temporary file.
    // Without unnamed files, the hidden file is removed on SIGTERM (not SIGKILL).
    const bool windows = testrun::windowsConverter();
    for (const auto &[signal, named] : windows ? std::vector{std::pair{SIGINT, false}}
                                               : std::vector{std::pair{SIGTERM, false}, {SIGKILL, false}, {SIGTERM, true}}) {
        SCOPED_TRACE(signal);
        const WithoutUnnamedFiles fallback(named);
        const pid_t child = startWriting(args);
        kill(child, signal);
        EXPECT_EQ(exitStatus(child), windows ? 0x3A : 128 + signal);
        std::vector<std::string> left;
        for (const auto &entry : fs::directory_iterator(folder))
            left.push_back(entry.path().filename().string());
        EXPECT_EQ(left, std::vector<std::string>{"a.jpg"});
    }
}

TEST_F(Conversion, APictureCutShortAfterTheCheckIsNamedAndNothingIsWritten)
{
    // Still a whole JPEG once its trailing data is cut off, but not the file
    // that was checked. Slow pictures first, so it is cut before it is read.
    const std::string slow = file("slow.jpg", makeJpeg(3000, 2000, {50, 100, 150}));
    Bytes jpeg = makeJpeg(64, 64, {9, 9, 9});
    const auto jpegSize = jpeg.size();
    jpeg.resize(jpegSize + 200000, 7);
    const std::string cut = file("cut.jpg", jpeg);
    std::vector<std::string> args{"-r", "1", "-j", "1", "-m", "1500x1000"};
    args.insert(args.end(), 20, slow);
    args.insert(args.end(), {cut, "-o", path("show.swf")});

    for (const bool named : withAndWithoutUnnamedFiles()) {
        SCOPED_TRACE(named ? "hidden named file" : "unnamed file");
        fs::resize_file(cut, jpeg.size());
        const WithoutUnnamedFiles fallback(named);
        const pid_t child = startWriting(args, path("errors.txt"));
        EXPECT_EQ(hiddenFiles().empty(), !named && !testrun::windowsConverter());
        fs::resize_file(cut, jpegSize);
        EXPECT_EQ(exitStatus(child), 1);
        const Bytes errors = readFile(path("errors.txt"));
        EXPECT_NE(std::string(errors.begin(), errors.end()).find("jpeg2swf: " + cut + ": "), std::string::npos);
        // Nothing beside the pictures: no output, no temporary file.
        EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 3);
    }
}

TEST_F(Conversion, ProgressReportsFollowTheRunAndAReaderThatLeavesStopsNothing)
{
    if (testrun::windowsConverter())
        GTEST_SKIP() << "a Linux pipe cannot reach a Windows program: the platform tests follow its channel under Wine";
    // Scaled down, so every picture is re-encoded and the run takes a while.
    const std::string picture = file("a.jpg", makeJpeg(1600, 1200, {50, 100, 150}));
    const std::size_t pictures = 30;
    std::vector<std::string> args{"-r", "1", "-j", "1", "-m", "800x600"};
    args.insert(args.end(), pictures, picture);
    const std::string output = path("show.swf");
    args.insert(args.end(), {"-o", output});

    // Every report: each picture checked is one unit of work, each written four more,
    // so the count moves from the start. Then a reader that takes two and closes the pipe.
    const std::size_t total = 5 * pictures;
    std::vector<std::size_t> counts;
    for (std::size_t done = 0; done <= pictures; ++done)
        counts.push_back(done);
    for (std::size_t written = 1; written <= pictures; ++written)
        counts.push_back(pictures + 4 * written);
    for (const std::size_t wanted : {counts.size(), std::size_t(2)}) {
        SCOPED_TRACE(wanted);
        fs::remove(output);
        int ends[2];
        ASSERT_EQ(pipe(ends), 0);
        const pid_t child = fork();
        if (child == 0) {
            close(ends[0]);
            setenv("JPEG2SWF_PROGRESS_FD", std::to_string(ends[1]).c_str(), 1);
            execConverter(args);
        }
        close(ends[1]);
        FILE *reports = fdopen(ends[0], "r");
        std::vector<std::string> lines, expected;
        char line[64];
        while (lines.size() < wanted && std::fgets(line, sizeof line, reports)) {
            lines.push_back(line);
            if (lines.size() == counts.size()) {   // "done": the file is in place
                EXPECT_TRUE(fs::exists(output));
                EXPECT_TRUE(hiddenFiles().empty());
            }
        }
        std::fclose(reports);
        for (std::size_t i = 0; i < wanted; ++i)
            expected.push_back(std::to_string(counts[i]) + " " + std::to_string(total) + "\n");
        EXPECT_EQ(lines, expected);
        EXPECT_EQ(exitStatus(child), 0);
        EXPECT_EQ(testrun::decodedFrames(output).size(), pictures);
    }
}

TEST_F(Conversion, ATerminalSeesOneProgressLineUnlessQuiet)
{
    const std::string picture = file("a.jpg", makeJpeg(64, 48, {50, 100, 150}));
    for (const bool quiet : {false, true}) {
        int terminal = -1, side = -1;
        ASSERT_EQ(openpty(&terminal, &side, nullptr, nullptr, nullptr), 0);
        const pid_t child = fork();
        if (child == 0) {
            dup2(side, STDERR_FILENO);
            close(side);
            close(terminal);
            execConverter({"-r", "1", picture, picture, "-o", path("show.swf"), quiet ? "--quiet" : "--loop"});
        }
        close(side);
        std::string shown;
        char buffer[256];
        for (ssize_t n; (n = read(terminal, buffer, sizeof buffer)) > 0;)
            shown.append(buffer, std::size_t(n));
        close(terminal);
        EXPECT_EQ(exitStatus(child), 0);
        if (testrun::windowsConverter()) {
            // Wine draws the Windows console on the terminal with escape sequences of its own.
            const std::string text = std::regex_replace(shown, std::regex("\x1B\\[[0-9;?]*[A-Za-z]"), "");
            EXPECT_EQ(text.find("jpeg2swf: 2/2 pictures (100%)\r") != std::string::npos, !quiet) << text;
            EXPECT_EQ(text.empty(), quiet);
            continue;
        }
        EXPECT_EQ(shown, quiet ? "" : "\rjpeg2swf: 1/2 pictures (50%)\rjpeg2swf: 2/2 pictures (100%)\r\n");
    }
}

TEST_F(Conversion, ListsThatCannotFitOneSwfAreRefusedBeforeAnyWork)
{
    std::string list = "-r\n1\n-o\n" + path("o.swf") + "\n";
    for (int i = 0; i < 40000; ++i)
        list += "/nonexistent/" + std::to_string(i) + ".jpg\n";
    const auto result = jpeg2swf({"@" + file("list.txt", Bytes(list.begin(), list.end()))});
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.errors.find("40000 pictures do not fit"), std::string::npos) << result.errors.substr(0, 300);
    EXPECT_FALSE(fs::exists(path("o.swf")));
    EXPECT_EQ(jpeg2swf({"--help"}).status, 0);

    // With crossfades, players' 16,000 frames: 320 pictures of 2 s fit (and go
    // on to be checked), 321 do not.
    for (const int pictures : {320, 321}) {
        std::vector<std::string> args{"-r", "2", "--fade", "0.5", "-o", path("o.swf")};
        for (int i = 0; i < pictures; ++i)
            args.push_back("/nonexistent/" + std::to_string(i) + ".jpg");
        const auto faded = jpeg2swf(args);
        EXPECT_EQ(faded.status, pictures == 320 ? 1 : 2);
        EXPECT_NE(faded.errors.find(pictures == 320 ? "nothing was written" : "321 pictures of 2 seconds do not fit"),
                  std::string::npos) << faded.errors.substr(0, 300);
    }
}
