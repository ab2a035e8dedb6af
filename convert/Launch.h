#pragma once

// The platform's part of starting a process and seeing it end.

#include "convert/Shell32.h"

#include <optional>

struct LaunchedProcess {
    qint64 id = 0;
    int error = 0;   // the system's error number when the launch failed
};

// Starts the program with its arguments, standard input from nowhere, standard
// output discarded and standard error into errorLog (or discarded).
LaunchedProcess launchProcess(const Command &command, const QString &errorLog);

// The exit status once the process has ended (128 + signal when a signal ended
// it), nothing while it runs. Reaps the process.
std::optional<int> exitStatus(const LaunchedProcess &process);
