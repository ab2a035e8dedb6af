#pragma once

// Listing one folder: the platform's part of the folder walk. Plain C++, so
// that each platform's version builds and is tested without Qt. Names and
// paths are UTF-8 on Windows and the file system's own bytes elsewhere.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// One folder's entries, files and folders each in name order (NameOrder.h)
// whatever order the file system lists them in, so a camera's sequence stays
// in shooting order. Hidden folders and links to folders are left out, so a
// walk never leaves the tree; every file is kept, hidden or not. A folder that
// cannot be read gives nothing. identity tells which folder was listed (device
// and inode, or volume and file index), if the system can tell: a folder
// reached by two paths, such as one mounted inside itself, has one identity.
struct FolderContents {
    std::optional<std::pair<std::uint64_t, std::uint64_t>> identity;
    std::vector<std::string> files;
    std::vector<std::string> folders;
};
FolderContents listFolder(const std::string &folder);
