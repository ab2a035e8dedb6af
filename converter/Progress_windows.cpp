#include "Progress.h"

#include <windows.h>

// A caller on Windows cannot name an inherited descriptor the way
// JPEG2SWF_PROGRESS_FD does on Linux: no progress channel there.
int progressChannel()
{
    return -1;
}

bool sendProgress(int, const std::string &)
{
    return false;
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
