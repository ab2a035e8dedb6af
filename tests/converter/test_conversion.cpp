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
#include <thread>
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
    void SetUp() override
    {
        std::string name = (fs::temp_directory_path() / "jpeg2swf-conversion-XXXXXX").string();
        folder = mkdtemp(name.data());
    }
    void TearDown() override { fs::remove_all(folder); }

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

    fs::path folder;
};

int exitStatus(pid_t child)
{
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
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

TEST_F(Conversion, BadPicturesAreAllNamedAndNothingIsWritten)
{
    const Bytes good = makeJpeg(64, 64, {1, 2, 3});
    const std::string ok = file("ok.jpg", good);
    const std::string truncated = file("truncated.jpg", Bytes(good.begin(), good.end() - 100));
    const std::string empty = file("empty.jpg", {});
    const std::string text = file("text.jpg", {'h', 'e', 'l', 'l', 'o', '\n'});
    const std::string twelveBit = file("png-named.jpg", Bytes{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0});
    const std::string folderPicture = path("folder.jpg");
    fs::create_directory(folderPicture);
    const std::string missing = path("missing.jpg");
    std::vector<std::string> badPictures{truncated, empty, folderPicture, text, twelveBit, missing};
    // A Linux pipe means nothing to a Windows program.
    const std::string pipe = path("pipe.jpg");
    if (!testrun::windowsConverter()) {
        ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
        badPictures.push_back(pipe);
    }
    const std::string output = file("show.swf", {'o', 'l', 'd'});

    // Under a timeout: a picture that blocks the run must fail the test, not hang it.
    std::vector<std::string> command{"-s", "KILL", "120"};
    for (const auto &part : testrun::jpeg2swfCommand())
        command.push_back(part);
    command.insert(command.end(), {"-r", "1", ok});
    command.insert(command.end(), badPictures.begin(), badPictures.end());
    command.insert(command.end(), {"-o", output});
    const auto result = testrun::run("timeout", command);
    EXPECT_EQ(result.status, 1);
    for (const std::string &bad : badPictures)
        EXPECT_NE(result.errors.find("jpeg2swf: " + bad + ": "), std::string::npos) << bad << "\n" << result.errors;
    EXPECT_EQ(result.errors.find(ok + ":"), std::string::npos);
    EXPECT_NE(result.errors.find("truncated"), std::string::npos);
    EXPECT_NE(result.errors.find("empty file"), std::string::npos);
    EXPECT_NE(result.errors.find("No such file"), std::string::npos);
    if (!testrun::windowsConverter()) {
        EXPECT_NE(result.errors.find(pipe + ": not a regular file"), std::string::npos);
    }
    EXPECT_EQ(readFile(output), (Bytes{'o', 'l', 'd'}));
    const std::string page = file("show.html", {'o', 'l', 'd'});
    EXPECT_EQ(jpeg2swf({"-r", "1", ok, truncated, "-o", page}).status, 1);
    EXPECT_EQ(readFile(page), (Bytes{'o', 'l', 'd'}));
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

    for (const auto &[output, reason] : std::vector<std::pair<std::string, std::string>>{
             {path("hardlink.jpg"), ": is the picture"}, {path("sub/../a.jpg"), ": is the picture"},
             {path("no/such/folder/show.swf"), ""}, {path("out.swf"), ": is a folder"},
             {path("pipe.swf"), ": not a regular file"}}) {
        const auto result = jpeg2swf({"-r", "1", original, "-o", output});
        EXPECT_EQ(result.status, 1);
        EXPECT_NE(result.errors.find(output + reason), std::string::npos) << result.errors;
    }
    EXPECT_EQ(readFile(original), picture);
    EXPECT_TRUE(fs::is_fifo(path("pipe.swf")));
    EXPECT_TRUE(hiddenFiles().empty());
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
    const bool windows = testrun::windowsConverter();
    for (int signal : windows ? std::vector{SIGINT} : std::vector{SIGTERM, SIGKILL}) {
        SCOPED_TRACE(signal);
        const pid_t child = startWriting(args);
        kill(child, signal);
        EXPECT_EQ(exitStatus(child), windows ? 0x3A : 128 + signal);
        EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 1);   // the picture alone
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

    const pid_t child = startWriting(args, path("errors.txt"));
    fs::resize_file(cut, jpegSize);
    EXPECT_EQ(exitStatus(child), 1);
    const Bytes errors = readFile(path("errors.txt"));
    EXPECT_NE(std::string(errors.begin(), errors.end()).find("jpeg2swf: " + cut + ": "), std::string::npos);
    EXPECT_FALSE(fs::exists(path("show.swf")));
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

    // Every report; then a reader that takes two and closes the pipe.
    for (const std::size_t wanted : {pictures + 1, std::size_t(2)}) {
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
            if (lines.size() == pictures + 1) {   // "done": the file is in place
                EXPECT_TRUE(fs::exists(output));
                EXPECT_TRUE(hiddenFiles().empty());
            }
        }
        std::fclose(reports);
        for (std::size_t done = 0; done < wanted; ++done)
            expected.push_back(std::to_string(done) + " " + std::to_string(pictures) + "\n");
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
}
