#pragma once

// Starting a program and waiting for it while the window keeps answering.

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

// A program and its arguments, handed to the system as they are: never
// through a shell, never split again.
struct Command {
    QString program;
    QStringList arguments;
};

// Open files a started program is given. Handing over descriptors rather than
// names lets the files be removed from the folder before the program ends.
struct ChildFiles {
    int standardError = -1;       // -1: discarded
    std::vector<int> inherited;   // the program's descriptors 3, 4, ... in this order
};

// The first descriptor number ChildFiles::inherited takes in the program.
constexpr int kFirstInheritedFd = 3;

// Called with each of the program's progress reports: at least `done` of
// `total` pictures are written.
using ProgressReport = std::function<void(int done, int total)>;

// The show-window value a launch uses: omitted, below 0 or above 6 gives 6
// (minimised, focus kept). A console program on Linux shows no window, so the
// value is settled and then has no further effect there.
int settleWindowStyle(std::optional<int> windowStyle);

// The value launchAndWait returns when the launch itself failed: 0x80040000
// plus the system's error number, as a negative 32-bit value.
constexpr qint32 launchFailure(int errorNumber)
{
    return qint32(0x80040000u + quint32(errorNumber));
}

// The value launchAndWait returns when the program ended but its exit status
// could not be read. Never taken for success.
constexpr qint32 kExitStatusUnknown = -1;

// Starts the command and waits for it to end while the window's events are
// handled at once; any handler may run inside the wait. The end is noticed as
// it happens where the system tells of it, within a 100 ms cycle elsewhere.
// Returns the process's exit status, kExitStatusUnknown, or launchFailure(errno)
// at once when it could not be started. When `progress` is given, the program
// gets a progress channel and each report it writes there is passed on as it
// arrives, the last ones before the return. Shows nothing and throws nothing;
// the program outlives us when the window is closed during the wait.
qint32 launchAndWait(const Command &command, std::optional<int> windowStyle = std::nullopt,
                     const ChildFiles &files = {}, const ProgressReport &progress = {});
