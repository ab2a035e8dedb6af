// Listing a folder with FindFirstFileExW: large batches, and no short names
// looked up, so a large tree is walked at file-system speed.
#include "FolderListing.h"

#include "NameOrder.h"
#include "WideText_windows.h"

#include <windows.h>

namespace {

// Volume serial number and file index: one folder has one, by any path.
std::optional<std::pair<std::uint64_t, std::uint64_t>> identityOf(const std::wstring &folder)
{
    // Backup semantics open a folder; no access right is needed for its identity.
    const HANDLE handle = CreateFileW(folder.c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    BY_HANDLE_FILE_INFORMATION info{};
    const bool known = handle != INVALID_HANDLE_VALUE && GetFileInformationByHandle(handle, &info);
    if (handle != INVALID_HANDLE_VALUE)
        CloseHandle(handle);
    if (!known)
        return std::nullopt;
    return std::pair<std::uint64_t, std::uint64_t>{info.dwVolumeSerialNumber,
                                                   std::uint64_t(info.nFileIndexHigh) << 32 | info.nFileIndexLow};
}

} // namespace

FolderContents listFolder(const std::string &folder)
{
    FolderContents contents;
    const std::wstring path = wideFromUtf8(folder.empty() ? "." : folder);
    WIN32_FIND_DATAW entry;
    const HANDLE listing = FindFirstFileExW((path + L"\\*").c_str(), FindExInfoBasic, &entry, FindExSearchNameMatch,
                                            nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (listing == INVALID_HANDLE_VALUE)
        return contents;   // unreadable or gone: nothing to add from here
    contents.identity = identityOf(path);
    do {
        const wchar_t *name = entry.cFileName;
        if (name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0')))
            continue;
        const DWORD attributes = entry.dwFileAttributes;
        if (!(attributes & FILE_ATTRIBUTE_DIRECTORY))
            contents.files.push_back(utf8FromWide(name));   // hidden and system files too
        else if (!(attributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)))
            contents.folders.push_back(utf8FromWide(name));
        // Junctions and links to folders are never followed, so the walk stays
        // in the tree and ends; hidden and system folders are not visited.
    } while (FindNextFileW(listing, &entry));
    FindClose(listing);
    sortByName(contents.files);
    sortByName(contents.folders);
    return contents;
}
