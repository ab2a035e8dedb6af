#pragma once

// Running the converter once for the whole list and telling what came of it.

#include "LaunchAndWait.h"

#include <QString>

#include <functional>

struct ConversionResult {
    enum class Outcome { Done, NotStarted, Failed };
    Outcome outcome = Outcome::Done;
    QString message;              // what the user is told
    QString converterWords = {};  // on failure, all the converter said, in whole lines
};

// Starts the converter (through a list file when the arguments are too long
// for one launch), waits for it with the window answering, and reads what it
// wrote to standard error in whole lines (beyond 8 MiB, "…" stands for the
// rest). "Done." only when it ended with status 0. Leaves
// nothing in the temporary folder, even when the program ends during the wait.
// showProgress(percent) follows the converter's reports, when it gives any:
// from the first one on, forward only. Of nested runs only the innermost one
// shows its progress.
ConversionResult runConverter(Command command, const std::function<void(int percent)> &showProgress = {});
