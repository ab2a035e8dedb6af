#include "Files_windows.h"

const char *whyNotAPath(const std::string &utf8)
{
    if (utf8.find('\0') != std::string::npos)
        return "holds a zero byte, which no path can";
    // Names are UTF-16: other bytes would name a file other than the one meant.
    if (!utf8.empty()
        && MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), int(utf8.size()), nullptr, 0) == 0)
        return "not UTF-8";
    return nullptr;
}

std::string describeError(DWORD error)
{
    static const struct {
        DWORD code;
        const char *words;
    } kCommon[] = {
        {ERROR_FILE_NOT_FOUND, "No such file or directory"},
        {ERROR_PATH_NOT_FOUND, "No such file or directory"},
        {ERROR_BAD_NETPATH, "No such file or directory"},
        {ERROR_ACCESS_DENIED, "Permission denied"},
        {ERROR_SHARING_VIOLATION, "in use by another program"},
        {ERROR_LOCK_VIOLATION, "in use by another program"},
        {ERROR_FILE_EXISTS, "File exists"},
        {ERROR_ALREADY_EXISTS, "File exists"},
        {ERROR_DISK_FULL, "No space left on device"},
        {ERROR_HANDLE_DISK_FULL, "No space left on device"},
        {ERROR_WRITE_PROTECT, "Read-only file system"},
        {ERROR_NOT_ENOUGH_MEMORY, "Cannot allocate memory"},
        {ERROR_OUTOFMEMORY, "Cannot allocate memory"},
        {ERROR_FILENAME_EXCED_RANGE, "File name too long"},
        {ERROR_DIRECTORY, "Not a directory"},
        {ERROR_INVALID_NAME, "not a valid file name on Windows"},
    };
    for (const auto &known : kCommon)
        if (known.code == error)
            return known.words;

    wchar_t *text = nullptr;
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM
                                            | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, error, 0, reinterpret_cast<wchar_t *>(&text), 0, nullptr);
    std::string words = length ? utf8FromWide(text) : "Windows error " + std::to_string(error);
    LocalFree(text);
    while (!words.empty() && (words.back() == '\n' || words.back() == '\r' || words.back() == '.'))
        words.pop_back();
    return words;
}

FileStatus statusOfHandle(HANDLE file)
{
    FileStatus status;
    BY_HANDLE_FILE_INFORMATION info;
    // Consoles, pipes and other devices are not disk files.
    if (GetFileType(file) != FILE_TYPE_DISK || !GetFileInformationByHandle(file, &info))
        return status;
    status.kind = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? FileKind::Folder : FileKind::Regular;
    status.size = std::uint64_t(info.nFileSizeHigh) << 32 | info.nFileSizeLow;
    status.id = {info.dwVolumeSerialNumber, std::uint64_t(info.nFileIndexHigh) << 32 | info.nFileIndexLow};
    status.modified = std::uint64_t(info.ftLastWriteTime.dwHighDateTime) << 32 | info.ftLastWriteTime.dwLowDateTime;
    return status;
}

std::optional<FileStatus> fileStatus(const std::string &path)
{
    // Backup semantics open folders too; no access right is needed for the status.
    const HANDLE file = CreateFileW(wideFromUtf8(path).c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::nullopt;
    const FileStatus status = statusOfHandle(file);
    CloseHandle(file);
    return status;
}
