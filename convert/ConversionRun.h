#pragma once

// Running the converter once for the whole list and telling what came of it.

#include "convert/Shell32.h"

#include <QString>

struct ConversionResult {
    enum class Outcome { Done, NotStarted, Failed };
    Outcome outcome = Outcome::Done;
    QString message;   // what the user is told
};

// Starts the converter (through a list file when the arguments are too long
// for one launch), waits for it with the window answering, and reads what it
// wrote to standard error. "Done." only when it ended with status 0.
ConversionResult runConverter(Command command);
