#include "FileStatus.h"

#include <sys/stat.h>

std::optional<FileStatus> fileStatus(const std::string &path)
{
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        return std::nullopt;
    const FileKind kind = S_ISREG(status.st_mode) ? FileKind::Regular
        : S_ISDIR(status.st_mode)                 ? FileKind::Folder
                                                  : FileKind::Other;
    return FileStatus{kind, std::uint64_t(status.st_size), {std::uint64_t(status.st_dev), std::uint64_t(status.st_ino)}};
}
