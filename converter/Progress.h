#pragma once

#include <cstddef>
#include <string>

// How far a run is, told to whoever asked:
// - a caller that sets JPEG2SWF_PROGRESS_FD to an inherited descriptor (on
//   Windows: a pipe's handle, by its value) gets lines "DONE TOTAL\n" on it,
//   each written only when it fits at once; a reader that goes away only ends
//   the reports, never the run. They count work: checking a picture is one
//   unit, writing it kWriteWork more, so the count moves from the start while
//   every picture is checked;
// - a person at a terminal sees one line on standard error, updated in place.
class Progress
{
public:
    Progress(std::size_t total, bool quiet);
    Progress(const Progress &) = delete;
    Progress &operator=(const Progress &) = delete;

    // A quick look at a picture's head and tail, where writing it reads it all
    // and often decodes and encodes it.
    static constexpr std::size_t kWriteWork = 4;

    // The pictures are counted: "0 TOTAL".
    void counted();
    // Picture `done` has been checked.
    void checked(std::size_t done);
    // Picture `done` is in the slide show. The last one is told by finished().
    void written(std::size_t done);
    // The finished file is in place: "TOTAL TOTAL", and the terminal line ends.
    void finished();
    // Ends the terminal line, so that a message after it starts on its own.
    void endLine();

private:
    void report(std::size_t work);
    void showLine(std::size_t done);

    std::size_t m_total;         // pictures
    std::size_t m_work;          // units of work, TOTAL in the reports
    int m_channel = -1;          // the caller's descriptor or handle, or -1
    bool m_terminal = false;
    bool m_lineOpen = false;
};

// The number JPEG2SWF_PROGRESS_FD gives, or -1 when it is unset or not a
// decimal number of at most nine digits.
int progressChannelNumber();

// The system's part (Progress_posix.cpp, Progress_windows.cpp):
// the caller's channel, or -1 when there is none;
int progressChannel();
// one report sent on it without waiting; false once nobody listens any more;
bool sendProgress(int channel, const std::string &line);
// whether standard error is a terminal someone watches;
bool errorsOnTerminal();
// that terminal's width in columns, 0 when unknown.
std::size_t terminalWidth();
