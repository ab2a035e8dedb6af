#include "MappedFile.h"

#include "Files_windows.h"

void MappedFile::release()
{
    if (m_data)
        UnmapViewOfFile(m_data);
    m_data = nullptr;
    m_size = 0;
}

bool MappedFile::open(const std::string &path, std::string &error, Use use)
{
    release();
    // Others may go on reading, writing or deleting the file: the mapping keeps
    // its bytes, and Windows refuses to shorten a mapped file.
    const HANDLE file = CreateFileW(widePath(path).c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = describeError(GetLastError());
        return false;
    }
    const FileStatus status = statusOfHandle(file);
    if (status.kind == FileKind::Folder) {
        error = "is a folder, not a picture";
    } else if (status.kind != FileKind::Regular) {
        error = "not a regular file";
    } else if (status.size == 0) {
        error = "empty file";
    } else if (const HANDLE mapping = CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr); !mapping) {
        error = describeError(GetLastError());
    } else {
        void *data = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
        const DWORD mapError = GetLastError();
        CloseHandle(mapping);   // the view keeps the mapping
        if (!data) {
            error = describeError(mapError);
        } else {
            m_data = static_cast<const std::uint8_t *>(data);
            m_size = std::size_t(status.size);
            m_status = status;
            if (use == Use::Whole) {
                // Bring every page in at once, far cheaper than a fault for each.
                WIN32_MEMORY_RANGE_ENTRY range{data, m_size};
                PrefetchVirtualMemory(GetCurrentProcess(), 1, &range, 0);
            }
        }
    }
    CloseHandle(file);
    return m_data != nullptr;
}
