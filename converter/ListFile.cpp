#include "ListFile.h"

#include "FileStatus.h"

#include <fstream>

bool readListFile(const std::string &path, std::vector<std::string> &into, std::string &error)
{
    // Checked before it is opened: opening a pipe waits for a writer, and a
    // device may never end.
    const auto status = fileStatus(path);
    if (!status) {
        error = path + ": cannot read the argument list: no such file";
        return false;
    }
    if (status->kind != FileKind::Regular) {
        error = path + (status->kind == FileKind::Folder ? ": is a folder, not a list of arguments"
                                                         : ": not a regular file, so not a list of arguments");
        return false;
    }
    const std::string tooLarge = path + ": larger than a list of arguments can be (64 MiB)";
    if (status->size > kMaxListFileBytes) {
        error = tooLarge;
        return false;
    }
    std::ifstream file(nativePath(path), std::ios::binary);
    std::string content;
    content.reserve(std::size_t(status->size));
    // Read to its end, which a file in /proc, whose size says 0, has too.
    char chunk[1 << 16];
    while (file.read(chunk, sizeof chunk) || file.gcount() > 0) {
        content.append(chunk, std::size_t(file.gcount()));
        if (content.size() > kMaxListFileBytes) {
            error = tooLarge;
            return false;
        }
    }
    if (!file.eof()) {
        error = path + ": cannot read the argument list";
        return false;
    }
    if (content.starts_with("\xEF\xBB\xBF"))
        content.erase(0, 3);   // a byte order mark is not part of the first argument

    std::size_t start = 0;
    for (std::size_t number = 1; start < content.size(); ++number) {
        std::size_t end = content.find('\n', start);
        if (end == std::string::npos)
            end = content.size();
        std::string line = content.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.find_first_not_of(" \t") == std::string::npos)
            continue;
        if (const char *why = whyNotAPath(line)) {
            error = path + ":" + std::to_string(number) + ": cannot be a path: " + why;
            return false;
        }
        into.push_back(std::move(line));
    }
    return true;
}
