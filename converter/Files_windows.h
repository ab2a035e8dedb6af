#pragma once

// What the converter's Windows files share: Windows' error codes in the words
// the converter uses on every system, and the status of an open file. Paths
// become wide ones through wideFromUtf8.

#include "FileStatus.h"
#include "WideText_windows.h"

#include <string>
#include <windows.h>


// The reason for an error code, in the C library's words where it has some
// (the same as on Linux), otherwise in Windows' own.
std::string describeError(DWORD error);

FileStatus statusOfHandle(HANDLE file);
