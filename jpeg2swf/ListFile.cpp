#include "ListFile.h"

#include "FileStatus.h"

#include <fstream>

namespace {

// Windows opens files by UTF-16 names: a line that is not UTF-8 would reach a
// file other than the one meant. Linux takes any bytes but zero.
#ifdef _WIN32
constexpr bool kPathsMustBeUtf8 = true;
#else
constexpr bool kPathsMustBeUtf8 = false;
#endif

bool isUtf8(const std::string &text)
{
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead >= 0xC2 && lead < 0xE0 ? 2 : lead >= 0xE0 && lead < 0xF0 ? 3
                                   : lead >= 0xF0 && lead < 0xF5                ? 4
                                                                                : 0;
        if (length == 0 || i + length > text.size())
            return false;
        std::uint32_t code = lead & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            code = code << 6 | (next & 0x3F);
        }
        // Overlong forms, UTF-16 surrogates and code points past U+10FFFF.
        if ((length == 3 && code < 0x800) || (length == 4 && (code < 0x10000 || code > 0x10FFFF))
            || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}

// Why a line cannot be an argument, or nullptr when it can.
const char *whyNotAnArgument(const std::string &line)
{
    if (line.find('\0') != std::string::npos)
        return "holds a zero byte, which no path can";
    if (kPathsMustBeUtf8 && !isUtf8(line))
        return "not UTF-8";
    return nullptr;
}

} // namespace

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
        if (const char *why = whyNotAnArgument(line)) {
            error = path + ":" + std::to_string(number) + ": cannot be a path: " + why;
            return false;
        }
        into.push_back(std::move(line));
    }
    return true;
}
