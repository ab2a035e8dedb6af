#pragma once

// What the converter asks of the file system, in the same terms on every system.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

enum class FileKind { Regular, Folder, Other };

// Two paths whose ids are equal name the same file.
struct FileId {
    std::uint64_t device = 0;
    std::uint64_t file = 0;
    bool operator==(const FileId &) const = default;
};

struct FileStatus {
    FileKind kind = FileKind::Other;
    std::uint64_t size = 0;
    FileId id;
    std::uint64_t modified = 0;  // in the system's own ticks: only compared
};

// The same file, unchanged: same identity, size and modification time.
inline bool sameFileVersion(const FileStatus &a, const FileStatus &b)
{
    return a.id == b.id && a.size == b.size && a.modified == b.modified;
}

// Why a file of this status cannot be read as a picture; nullptr when it can.
inline const char *whyNotAPicture(const FileStatus &status)
{
    if (status.kind == FileKind::Folder)
        return "is a folder, not a picture";
    if (status.kind != FileKind::Regular)
        return "not a regular file";
    if (status.size == 0)
        return "empty file";
    return nullptr;
}

// The file a path names, links followed; nothing when there is none.
std::optional<FileStatus> fileStatus(const std::string &path);

// Why a UTF-8 text cannot name a file on this system, or nullptr when it can.
const char *whyNotAPath(const std::string &utf8);

// What ends a folder's name in a path.
#ifdef _WIN32
inline constexpr char kPathSeparators[] = "/\\";
#else
inline constexpr char kPathSeparators[] = "/";
#endif

// Paths are UTF-8 throughout the converter; this is the form the standard
// library opens files with (wide characters on Windows).
inline std::filesystem::path nativePath(const std::string &utf8)
{
    return std::filesystem::path(std::u8string(reinterpret_cast<const char8_t *>(utf8.data()), utf8.size()));
}
