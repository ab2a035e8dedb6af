#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The largest list file of arguments read: room for a million pictures with
// paths of 60 bytes.
constexpr std::uint64_t kMaxListFileBytes = 64 << 20;

// Appends the arguments a list file holds: UTF-8, one argument per line, taken
// literally (a byte order mark at the start and a carriage return at a line's
// end are dropped). Lines of nothing but blanks are passed over: an empty
// argument names no picture. A folder, a device, a pipe, a file over
// kMaxListFileBytes and a line that cannot be a path are refused: returns
// false and says why, naming the file (and the line).
bool readListFile(const std::string &path, std::vector<std::string> &into, std::string &error);
