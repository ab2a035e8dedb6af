#include "FileStatus.h"

#include "FileStatus_posix.h"

FileStatus fileStatusOf(const struct stat &status)
{
    const FileKind kind = S_ISREG(status.st_mode) ? FileKind::Regular
        : S_ISDIR(status.st_mode)                 ? FileKind::Folder
                                                  : FileKind::Other;
    return FileStatus{kind, std::uint64_t(status.st_size), {std::uint64_t(status.st_dev), std::uint64_t(status.st_ino)},
                      std::uint64_t(status.st_mtim.tv_sec) * 1000000000u + std::uint64_t(status.st_mtim.tv_nsec)};
}

std::optional<FileStatus> fileStatus(const std::string &path)
{
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        return std::nullopt;
    return fileStatusOf(status);
}

const char *whyNotAPath(const std::string &utf8)
{
    // Any bytes but zero: names need not be UTF-8 here.
    return utf8.find('\0') != std::string::npos ? "holds a zero byte, which no path can" : nullptr;
}
