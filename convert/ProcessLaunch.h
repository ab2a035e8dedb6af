#pragma once

// Starting a program and seeing it end: the platform's part. Plain C++, so
// that each platform's version builds and is tested without Qt. Strings are
// UTF-8 on Windows and the system's own bytes elsewhere.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#ifdef _WIN32
using NativeFile = void *;   // a HANDLE
#else
using NativeFile = int;      // a descriptor
#endif
// No file: -1, which is also INVALID_HANDLE_VALUE.
inline const NativeFile kNoFile = NativeFile(-1);

// A file closed when it goes out of scope.
class OwnedFile
{
public:
    OwnedFile() = default;
    explicit OwnedFile(NativeFile file) : m_file(file) {}
    OwnedFile(OwnedFile &&other) noexcept : m_file(std::exchange(other.m_file, kNoFile)) {}
    OwnedFile &operator=(OwnedFile &&other) noexcept
    {
        if (this != &other)
            reset(std::exchange(other.m_file, kNoFile));
        return *this;
    }
    OwnedFile(const OwnedFile &) = delete;
    OwnedFile &operator=(const OwnedFile &) = delete;
    ~OwnedFile() { reset(); }

    NativeFile get() const { return m_file; }
    // Closes the file held, if any, and holds `file` instead.
    void reset(NativeFile file = kNoFile);
    bool valid() const { return m_file != kNoFile; }

private:
    NativeFile m_file = kNoFile;
};

// Open files a started program is given. Handing over open files rather than
// names lets them lose their names before the program ends.
struct ChildFiles {
    NativeFile standardError = kNoFile;   // none: discarded
    std::vector<NativeFile> inherited;    // see inheritedFileName()
};

struct ProcessRequest {
    std::string program;
    std::vector<std::string> arguments;   // each reaches the program whole
    // The show-window value (0 to 6), which Windows gives a program for its
    // first window. A console program started here gets no window on either
    // system (on Windows its console is never shown), so there it changes nothing.
    int showWindow = 6;
    ChildFiles files;
    // The write end of a progress channel, named in JPEG2SWF_PROGRESS_FD.
    // Without one the variable is not passed on.
    NativeFile progressChannel = kNoFile;
};

struct LaunchedProcess {
    std::int64_t id = 0;
    int error = 0;          // the system's error number when the launch failed
    OwnedFile endNotice;    // signalled (readable) once the process has ended;
                            // invalid where the system has none
};

// Starts the program, never through a shell, with standard input from nowhere,
// standard output discarded and the given files; nothing else of ours is
// inherited.
LaunchedProcess launchProcess(const ProcessRequest &request);

// The value returned when the program ended but its exit status could not be
// read. Never taken for success.
constexpr std::int32_t kExitStatusUnknown = -1;

// The exit status once the process has ended (128 + signal when a signal ended
// it), nothing while it runs, kExitStatusUnknown when it cannot be had.
std::optional<std::int32_t> exitStatus(const LaunchedProcess &process);

// The value a launch that failed gives: 0x80040000 plus the system's error
// number (errno, or GetLastError() on Windows), as a negative 32-bit value;
// and the error number back from it.
constexpr std::int32_t launchFailure(int errorNumber)
{
    return std::int32_t(0x80040000u + std::uint32_t(errorNumber));
}
constexpr std::optional<int> launchFailureError(std::int32_t status)
{
    const std::uint32_t value = std::uint32_t(status);
    if (value < 0x80040000u || value > 0x8004FFFFu)
        return std::nullopt;
    return int(value - 0x80040000u);
}

// Whether the program and its arguments fit one launch on this system.
bool fitsOneLaunch(const std::string &program, const std::vector<std::string> &arguments);

// The system's words for a launch's error number, in its local 8-bit encoding.
std::string launchErrorText(int error);

// The name under which a started program finds its inherited file number
// `index` (0-based) of ChildFiles::inherited, kept open from `path` by
// keepOpenOnly. Windows has no name for an inherited handle: there it is path,
// which keeps its name while the file is open.
std::string inheritedFileName(std::size_t index, const std::string &path);

// A copy of the open file (a C runtime descriptor, as QFile::handle() gives),
// read from its start, after its name at path is removed where the system
// allows it (not on Windows): the file then lives only as long as we or the
// started program hold it, so nothing is left behind.
OwnedFile keepOpenOnly(int descriptor, const std::string &path);

// A new empty file in `folder` for a started program's words, used through
// the returned handle only, that goes when its last holder closes it: at once
// on Linux, where its name is removed; on Windows when we and every program
// given it have closed it, even if we end first. Invalid when it cannot be made.
OwnedFile openScratchFile(const std::string &folder);

// Up to `limit` bytes of the file from its start.
std::string readFromStart(NativeFile file, std::size_t limit);

// A channel whose write end a started program can be given: our read end
// first. Both invalid when it cannot be made.
std::pair<OwnedFile, OwnedFile> openProgressChannel();

// Appends what the channel holds now to `into`; false once the writer has gone.
bool readAvailable(NativeFile channel, std::string &into);
