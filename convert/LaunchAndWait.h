#pragma once

// Starting a program and waiting for it while the window keeps answering.

#include "ProcessLaunch.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// A program and its arguments, handed to the system as they are: never
// through a shell, never split again.
struct Command {
    QString program;
    QStringList arguments;
};

// The command's arguments as the platform's launch takes them: UTF-8, as
// every text that crosses into a platform file (see ProcessLaunch.h).
std::vector<std::string> systemArguments(const Command &command);

// Called with each of the program's progress reports: at least `done` of
// `total` units of work are done (the converter counts a picture's check as
// one unit and its writing as four more).
using ProgressReport = std::function<void(int done, int total)>;

// The show-window value a launch uses: omitted, below 0 or above 6 gives 6
// (minimised, focus kept).
int settleWindowStyle(std::optional<int> windowStyle);

// Starts the command and waits for it to end while the window's events are
// handled at once; any handler may run inside the wait. The end is noticed as
// it happens where the system tells of it, within a 100 ms cycle elsewhere.
// Returns the process's exit status, kExitStatusUnknown, or launchFailure() of
// the system's error number at once when it could not be started. When `progress` is given, the program
// gets a progress channel and each report it writes there is passed on as it
// arrives, the last ones before the return. Shows nothing and throws nothing;
// the program outlives us when the window is closed during the wait.
qint32 launchAndWait(const Command &command, std::optional<int> windowStyle = std::nullopt,
                     const ChildFiles &files = {}, const ProgressReport &progress = {});
