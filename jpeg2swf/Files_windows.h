#pragma once

// What the converter's Windows files share: UTF-8 paths turned into the wide
// paths Windows opens, its error codes in the words the converter uses on every
// system, and the status of an open file.

#include "FileStatus.h"

#include <string>
#include <windows.h>

std::wstring widePath(const std::string &utf8);
std::string utf8FromWide(const wchar_t *wide);

// The reason for an error code, in the C library's words where it has some
// (the same as on Linux), otherwise in Windows' own.
std::string describeError(DWORD error);

FileStatus statusOfHandle(HANDLE file);
