#pragma once

// Starting a program and waiting for it while the window keeps answering.

#include <QString>
#include <QStringList>

#include <optional>

// A program and its arguments, handed to the system as they are: never
// through a shell, never split again.
struct Command {
    QString program;
    QStringList arguments;
};

// The show-window value a launch uses: omitted, below 0 or above 6 gives 6
// (minimised, focus kept). A console program on Linux shows no window, so the
// value is settled and then has no further effect there.
int settleWindowStyle(std::optional<int> windowStyle);

// The value LaunchAndWait returns when the launch itself failed: 0x80040000
// plus the system's error number, as a negative 32-bit value.
constexpr qint32 launchFailure(int errorNumber)
{
    return qint32(0x80040000u + quint32(errorNumber));
}

// Starts the command and waits for it to end, in 100 ms cycles during which
// the window's events are handled at once; any handler may run inside the
// wait. Returns the process's exit status, or launchFailure(errno) at once when
// it could not be started. The process's standard error goes to errorLog when
// one is given (a file, never a pipe: the process must outlive us when the
// window is closed during the wait). Shows nothing and throws nothing.
qint32 LaunchAndWait(const Command &command, std::optional<int> windowStyle = std::nullopt,
                     const QString &errorLog = QString());
