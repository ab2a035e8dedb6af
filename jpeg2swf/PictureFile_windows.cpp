#include "PictureFile.h"

#include "Files_windows.h"

#include <algorithm>

namespace {

bool readAll(HANDLE file, std::uint8_t *data, std::size_t size, std::string &error, std::uint64_t from = 0)
{
    std::size_t done = 0;
    while (done < size) {
        // Positioned reads, as pread on Linux.
        OVERLAPPED at{};
        at.Offset = DWORD(from + done);
        at.OffsetHigh = DWORD((from + done) >> 32);
        DWORD got = 0;
        if (!ReadFile(file, data + done, DWORD(std::min<std::size_t>(size - done, 1 << 30)), &got, &at)
            && GetLastError() != ERROR_HANDLE_EOF) {
            error = describeError(GetLastError());
            return false;
        }
        if (got == 0) {
            error = "the file was cut short while it was being read";
            return false;
        }
        done += got;
    }
    return true;
}

} // namespace

std::uint8_t *systemMemory(std::size_t size)
{
    return static_cast<std::uint8_t *>(VirtualAlloc(nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
}

void releaseSystemMemory(std::uint8_t *data, std::size_t)
{
    VirtualFree(data, 0, MEM_RELEASE);
}

Failure PictureFile::read(const std::string &path, std::size_t head)
{
    m_data.reset();
    m_size = 0;
    // Others may go on reading, writing or deleting the file: a change is
    // seen by comparing its status before and after the read. Opening a pipe
    // never waits for a writer on Windows.
    const HANDLE file = CreateFileW(widePath(path).c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return Problem{path, describeError(GetLastError())};
    std::string error;
    m_status = statusOfHandle(file);
    if (const char *why = whyNotAPicture(m_status)) {
        error = why;
    } else {
        const auto total = std::size_t(m_status.size);
        const std::size_t size = std::min(total, head);
        m_data = memoryFor(size);
        if (!m_data) {
            CloseHandle(file);
            return Problem{path, "not enough memory to read it"};
        }
        if (readAll(file, m_data.get(), size, error)
            && (size == total || readAll(file, m_last.data(), 2, error, total - 2))) {
            if (!sameFileVersion(m_status, statusOfHandle(file)))
                error = "the file changed while it was being read";
        }
    }
    CloseHandle(file);
    if (!error.empty()) {
        m_data.reset();
        return Problem{path, error};
    }
    m_size = std::min(std::size_t(m_status.size), head);
    return std::nullopt;
}
