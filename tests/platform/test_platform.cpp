// The window's platform layer, the same tests on Linux and (cross-built, under
// Wine) on Windows: launching a program and reading its end, the converter's
// progress channel, listing a folder.
#include "FolderListing.h"
#include "NameOrder.h"
#include "ProcessLaunch.h"
#include "TestPictures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <thread>
#ifdef _WIN32
#include <windows.h>
#endif

namespace fs = std::filesystem;
using testpictures::TemporaryFolder;

namespace {

// An exit status keeps its low 8 bits on Linux, all 32 on Windows.
#ifdef _WIN32
constexpr std::int32_t kExitStatusBits = -1;
#else
constexpr std::int32_t kExitStatusBits = 0xFF;
#endif

std::string utf8(const fs::path &path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::int32_t waitForEnd(const LaunchedProcess &process)
{
    std::optional<std::int32_t> status;
    while (!(status = exitStatus(process)))
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return *status;
}

} // namespace

TEST(ProcessLaunch, EveryArgumentArrivesWholeAndTheExitCodeComesBack)
{
    const std::vector<std::vector<std::string>> argumentRows = {
        {"plain", "with blank", "tab\there", ""},
        {"a \"quoted\" word", "\"", "\\\"", "ends in \\", "ends in \\\\", "C:\\dir\\", "a\\\\b"},
        {"Ölberg ☀", "-dash", "@at", "--"},
    };
    const std::vector<std::string> statuses = {"0", "1", "259"};
    const TemporaryFolder folder("platform-launch-");
    for (std::size_t row = 0; row < argumentRows.size(); ++row) {
        SCOPED_TRACE(row);
        const OwnedFile errors = openScratchFile(utf8(folder.path));
        ASSERT_TRUE(errors.valid());
        std::vector<std::string> arguments{statuses[row]};
        arguments.insert(arguments.end(), argumentRows[row].begin(), argumentRows[row].end());
        ProcessRequest request{STAND_IN_PATH, arguments, 0, {errors.get(), {}}, kNoFile};
        const LaunchedProcess process = launchProcess(request);
        ASSERT_EQ(process.error, 0);
        EXPECT_EQ(waitForEnd(process), std::stoi(statuses[row]) & kExitStatusBits);
        std::string expected;
        for (const std::string &argument : argumentRows[row])
            expected += argument + '\n';
        EXPECT_EQ(readFromStart(errors.get(), 4096), expected);
        EXPECT_TRUE(fitsOneLaunch(STAND_IN_PATH, arguments));
    }
    // Each log goes with its last handle; Wine closes an ended program's
    // handles only after it is seen to end.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!fs::is_empty(folder.path) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_TRUE(fs::is_empty(folder.path));

    // A file written by name is read from its start through the copy kept open.
    const std::string listPath = utf8(folder.path / "list");
    std::FILE *list = std::fopen(listPath.c_str(), "w+b");
    ASSERT_NE(list, nullptr);
    std::fputs("a\nb\n", list);
    std::fflush(list);
    const OwnedFile listCopy = keepOpenOnly(fileno(list), listPath);
    std::fclose(list);
    EXPECT_EQ(readFromStart(listCopy.get(), 4096), "a\nb\n");
    EXPECT_FALSE(fitsOneLaunch(STAND_IN_PATH, {std::string(300000, 'x')}));

    const LaunchedProcess missing = launchProcess({utf8(folder.path / "no such program"), {}, 0, {}, kNoFile});
    EXPECT_NE(missing.error, 0);
    EXPECT_EQ(launchFailureError(launchFailure(missing.error)), missing.error);
}

TEST(ProgressChannel, TheConverterReportsEachPictureOnTheChannelItIsGiven)
{
    struct Row {
        std::vector<std::string> pictures;
        std::string reports;
        std::int32_t status;
    };
    const std::vector<Row> rows = {
        // One unit for checking a picture, four for writing it.
        {{"a.jpg", "b.jpg", "c.jpg"}, "0 15\n1 15\n2 15\n3 15\n7 15\n11 15\n15 15\n", 0},
        {{"a.jpg", "missing.jpg"}, "0 10\n1 10\n2 10\n", 1},   // a failed run tells no more after the check
    };
    const TemporaryFolder folder("platform-progress-");
    for (const char *name : {"a.jpg", "b.jpg", "c.jpg"})
        testpictures::writeFile(utf8(folder.path / name), testpictures::makeJpeg(64, 48, {200, 40, 40}));
    for (const Row &row : rows) {
        SCOPED_TRACE(row.reports);
        std::vector<std::string> arguments{"-r", "1"};
        for (const std::string &picture : row.pictures)
            arguments.push_back(utf8(folder.path / picture));
        arguments.insert(arguments.end(), {"-o", utf8(folder.path / "show.swf")});
        auto [channel, childEnd] = openProgressChannel();
        ASSERT_TRUE(channel.valid() && childEnd.valid());
        const LaunchedProcess process = launchProcess({JPEG2SWF_PATH, arguments, 0, {}, childEnd.get()});
        childEnd = OwnedFile();   // the channel ends with the converter's copy
        ASSERT_EQ(process.error, 0);
        std::string reports;
        while (readAvailable(channel.get(), reports))
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        EXPECT_EQ(reports, row.reports);
        EXPECT_EQ(waitForEnd(process), row.status);
    }
}

TEST(FolderListing, FilesAndVisibleFoldersOnceEachOneIdentityPerFolder)
{
    const TemporaryFolder folder(u8"platform Ölberg ☀ ");
    const fs::path &root = folder.path;
    for (const auto *name : {u8"a.jpg", u8".hidden.jpg", u8"Ölberg ☀.jpg"})
        std::ofstream(root / name) << "x";
    for (const auto *name : {u8"sub", u8".hidden", u8"Ölberg ☀"})
        fs::create_directory(root / name);
    std::error_code linkError;
#ifdef _WIN32
    SetFileAttributesW((root / ".hidden").c_str(), FILE_ATTRIBUTE_HIDDEN);
    // The C++ library of mingw-w64 makes no links.
    if (!CreateSymbolicLinkW((root / "link").c_str(), (root / "sub").c_str(),
                             SYMBOLIC_LINK_FLAG_DIRECTORY | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE))
        linkError.assign(int(GetLastError()), std::system_category());
#else
    fs::create_directory_symlink(root / "sub", root / "link", linkError);
#endif

    FolderContents contents = listFolder(utf8(root));
    std::sort(contents.files.begin(), contents.files.end());
    std::sort(contents.folders.begin(), contents.folders.end());
    EXPECT_EQ(contents.files, (std::vector<std::string>{".hidden.jpg", "a.jpg", "Ölberg ☀.jpg"}));
    EXPECT_EQ(contents.folders, (std::vector<std::string>{"sub", "Ölberg ☀"}));   // no hidden folder, no link
    ASSERT_TRUE(contents.identity);
    EXPECT_EQ(listFolder(utf8(root / "sub/..")).identity, contents.identity);
    EXPECT_NE(listFolder(utf8(root / "sub")).identity, contents.identity);
    EXPECT_TRUE(listFolder(utf8(root / "gone")).files.empty());
    if (linkError)
        GTEST_SKIP() << "no link to a folder could be made here, so leaving one out is not tested: "
                     << linkError.message();
}

TEST(FolderListing, NamesComeInTheOrderAFileManagerShows)
{
    // Created in neither this order nor its reverse; every listing sorts them.
    const std::vector<std::string> files{"a.jpg", "B.jpg", "IMG_9.jpg", "IMG_10.jpg", "img_11.jpg", "IMG_0012.jpg",
                                         "x01.jpg", "x1.jpg", "x2.jpg", "x99999999999999999999.jpg",
                                         "x100000000000000000000.jpg", "ÖL.jpg", "öm.jpg"};
    const std::vector<std::string> folders{"Day 1", "Day 2", "Day 10", "day 11"};
    const TemporaryFolder folder("platform-order-");
    for (const std::size_t i : {3, 0, 12, 7, 1, 10, 5, 2, 11, 4, 9, 6, 8})
        std::ofstream(folder.path / std::u8string(files[i].begin(), files[i].end())) << "x";
    for (const std::size_t i : {2, 0, 3, 1})
        fs::create_directory(folder.path / folders[i]);
    const FolderContents contents = listFolder(utf8(folder.path));
    EXPECT_EQ(contents.files, files);
    EXPECT_EQ(contents.folders, folders);

    // Names equal but for letter case or leading zeros keep one order; bytes
    // that are not UTF-8 do not upset it.
    std::vector<std::string> names{"IMG", "img", "Img", "a\xff", "a\xc3", "a0", "a00", "\xce\x91", "\xce\xb2"};
    sortByName(names);
    EXPECT_EQ(names, (std::vector<std::string>{"a0", "a00", "a\xc3", "a\xff", "IMG", "Img", "img", "\xce\x91",
                                               "\xce\xb2"}));
}
