#include "PictureFile.h"

#include "Files_windows.h"

#include <algorithm>

namespace {

// Fails with the reason alone: read() names the file.
Failure readAll(HANDLE file, std::uint8_t *data, std::size_t size, std::uint64_t from = 0)
{
    std::size_t done = 0;
    while (done < size) {
        // Positioned reads, as pread on Linux.
        OVERLAPPED at{};
        at.Offset = DWORD(from + done);
        at.OffsetHigh = DWORD((from + done) >> 32);
        DWORD got = 0;
        if (!ReadFile(file, data + done, DWORD(std::min<std::size_t>(size - done, 1 << 30)), &got, &at)
            && GetLastError() != ERROR_HANDLE_EOF)
            return Problem{.reason = describeError(GetLastError())};
        if (got == 0)
            return Problem{.reason = "the file was cut short while it was being read"};
        done += got;
    }
    return std::nullopt;
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
    const HANDLE file = CreateFileW(wideFromUtf8(path).c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return Problem{path, describeError(GetLastError())};
    Failure failure;
    m_status = statusOfHandle(file);
    if (const char *why = whyNotAPicture(m_status)) {
        failure = Problem{.reason = why};
    } else {
        const auto total = std::size_t(m_status.size);
        const std::size_t size = std::min(total, head);
        m_data = memoryFor(size);
        if (!m_data) {
            CloseHandle(file);
            return Problem{path, "not enough memory to read it"};
        }
        failure = readAll(file, m_data.get(), size);
        if (!failure && size != total)
            failure = readAll(file, m_last.data(), 2, total - 2);
        if (!failure && !sameFileVersion(m_status, statusOfHandle(file)))
            failure = Problem{.reason = "the file changed while it was being read"};
    }
    CloseHandle(file);
    if (failure) {
        m_data.reset();
        return failure->in(path);
    }
    m_size = std::min(std::size_t(m_status.size), head);
    return std::nullopt;
}
