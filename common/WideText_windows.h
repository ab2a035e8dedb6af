#pragma once

// Windows names files and passes arguments in UTF-16; the rest of the code
// holds every text, paths included, as UTF-8. These two turn one into the
// other, for every Windows file of the window and the converter.

#include <string>
#include <string_view>

std::wstring wideFromUtf8(std::string_view utf8);
std::string utf8FromWide(const wchar_t *wide);
