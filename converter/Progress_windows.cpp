#include "Progress.h"

#include <windows.h>

#include <cstdint>
#include <string>

namespace {

// The inherited handle whose value the channel's number is.
HANDLE inheritedHandle(int channel)
{
    return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(channel));
}

} // namespace

// The pipe whose inherited handle JPEG2SWF_PROGRESS_FD names by its value, or
// -1 when the variable is unset, not a decimal number or names no pipe. The
// pipe is switched to non-blocking mode, so that no write ever waits for its
// reader: a report that does not fit is not written.
int progressChannel()
{
    const int channel = progressChannelNumber();
    if (channel < 0)
        return -1;
    const HANDLE pipe = inheritedHandle(channel);
    DWORD mode = PIPE_READMODE_BYTE | PIPE_NOWAIT;
    if (channel == 0 || GetFileType(pipe) != FILE_TYPE_PIPE || !SetNamedPipeHandleState(pipe, &mode, nullptr, nullptr))
        return -1;
    return channel;
}

bool sendProgress(int channel, const std::string &line)
{
    // A message-type pipe with no room takes nothing (the next report says
    // more). A byte-type pipe may take part of the line: the reports end
    // there, so the reader never sees a line that was cut.
    DWORD written = 0;
    if (!WriteFile(inheritedHandle(channel), line.data(), DWORD(line.size()), &written, nullptr))
        return false;
    return written == 0 || written == line.size();
}

bool errorsOnTerminal()
{
    // A console, not the NUL device, which the C runtime also calls a tty.
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

std::size_t terminalWidth()
{
    CONSOLE_SCREEN_BUFFER_INFO info {};
    if (!GetConsoleScreenBufferInfo(GetStdHandle(STD_ERROR_HANDLE), &info))
        return 0;
    return std::size_t(info.srWindow.Right - info.srWindow.Left + 1);
}
