#pragma once

// The platform's part of starting a process and seeing it end.

#include "LaunchAndWait.h"

#include <optional>
#include <utility>

// A descriptor closed when it goes out of scope.
class OwnedFd
{
public:
    OwnedFd() = default;
    explicit OwnedFd(int fd) : m_fd(fd) {}
    OwnedFd(OwnedFd &&other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    OwnedFd &operator=(OwnedFd &&other) noexcept;
    OwnedFd(const OwnedFd &) = delete;
    OwnedFd &operator=(const OwnedFd &) = delete;
    ~OwnedFd();

    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};

struct LaunchedProcess {
    qint64 id = 0;
    int error = 0;        // the system's error number when the launch failed
    OwnedFd endNotice;    // readable once the process has ended; invalid where the system has none
};

// Starts the program with its arguments, standard input from nowhere, standard
// output discarded and the given files; nothing else of ours is inherited. A
// progress channel (a pipe's write end) follows the inherited files and is
// named in JPEG2SWF_PROGRESS_FD; without one the variable is not passed on.
LaunchedProcess launchProcess(const Command &command, const ChildFiles &files = {}, int progressChannel = -1);

// The exit status once the process has ended (128 + signal when a signal ended
// it), nothing while it runs, kExitStatusUnknown when it cannot be had. Reaps
// the process.
std::optional<qint32> exitStatus(const LaunchedProcess &process);
