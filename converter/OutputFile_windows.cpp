#include "OutputFile.h"

#include "Files_windows.h"

#include <algorithm>
#include <atomic>
#include <cwchar>
#include <fcntl.h>
#include <io.h>
#include <random>
#include <string_view>
#include <utility>

namespace {

// The temporary file the console control handler must remove, and its open
// handle: set while one exists. The handler runs on a thread of its own.
wchar_t g_pendingTemporary[32768];
std::atomic<bool> g_hasPendingTemporary{false};
std::atomic<HANDLE> g_pendingHandle{INVALID_HANDLE_VALUE};

BOOL WINAPI removePendingTemporaryAndExit(DWORD)
{
    // Closed first, so the file goes at once rather than when the process's
    // handles are closed, which a waiter may not see before the exit itself.
    if (g_hasPendingTemporary) {
        if (const HANDLE file = g_pendingHandle.exchange(INVALID_HANDLE_VALUE); file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
        DeleteFileW(g_pendingTemporary);
    }
    // Ended at once, with the status Windows gives a program ended by Ctrl+C
    // (never a success): an orderly exit would wait for locks the other
    // threads, stopped wherever they were, may hold.
    TerminateProcess(GetCurrentProcess(), STATUS_CONTROL_C_EXIT);
    return TRUE;
}

// The error of the last failed call (or the one given), about path.
Problem systemProblem(const std::string &path, DWORD error = GetLastError())
{
    return {path, describeError(error)};
}

// A name is at most 255 UTF-16 units long on NTFS, FAT and exFAT.
constexpr std::size_t kLongestName = 255;

// Where the output's own name begins: after its folder or drive.
std::size_t nameStart(const std::wstring &path)
{
    const std::size_t separator = path.find_last_of(L"/\\");
    if (separator != std::wstring::npos)
        return separator + 1;
    return path.size() >= 2 && path[1] == L':' ? 2 : 0;
}

// "FOLDER\.NAME.jpeg2swf-", NAME cut short (at a whole character) where the
// temporary name would be longer than a name may be.
std::wstring hiddenPrefix(const std::wstring &output)
{
    static constexpr std::wstring_view kSuffix = L".jpeg2swf-";
    const std::size_t start = nameStart(output);
    std::wstring name = output.substr(start);
    const std::size_t room = kLongestName - 1 - kSuffix.size() - 6;
    if (name.size() > room) {
        name.resize(room);
        if (name.back() >= 0xD800 && name.back() < 0xDC00)
            name.pop_back();   // half a surrogate pair
    }
    return output.substr(0, start) + L"." + name + std::wstring(kSuffix);
}

HANDLE handleOf(int fd)
{
    return reinterpret_cast<HANDLE>(_get_osfhandle(fd));
}

} // namespace

void installCleanupOnSignals()
{
    SetConsoleCtrlHandler(removePendingTemporaryAndExit, TRUE);
}

Failure OutputFile::create(const std::string &output)
{
    m_output = output;
    const std::wstring wideOutput = wideFromUtf8(output);
    // Checked before any work: the move at the end would refuse both.
    if (wideOutput.size() - nameStart(wideOutput) > kLongestName)
        return systemProblem(output, ERROR_FILENAME_EXCED_RANGE);
    const DWORD attributes = GetFileAttributesW(wideOutput.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return systemProblem(output, ERROR_ACCESS_DENIED);
    const std::wstring prefix = hiddenPrefix(wideOutput);
    static const wchar_t kLetters[] = L"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::wstring wide = prefix;
        for (int i = 0; i < 6; ++i)
            wide += kLetters[random() % (std::size(kLetters) - 1)];
        if (wide.size() >= std::size(g_pendingTemporary))
            return systemProblem(output, ERROR_FILENAME_EXCED_RANGE);
        // Hidden, as its dot hides it on Linux, until it becomes the output.
        const HANDLE file = CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_HIDDEN, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            if (GetLastError() == ERROR_FILE_EXISTS)
                continue;
            return systemProblem(output);
        }
        std::wcscpy(g_pendingTemporary, wide.c_str());
        g_pendingHandle = file;
        g_hasPendingTemporary = true;
        m_temporary = utf8FromWide(wide.c_str());
        m_fd = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_BINARY);
        if (m_fd < 0) {
            CloseHandle(file);
            discard();
            return Problem{output, "too many open files"};
        }
        m_buffer.reserve(kBufferSize);
        return std::nullopt;
    }
    return Problem{output, "no free name for the temporary file"};
}

void OutputFile::writeAll(const std::uint8_t *data, std::size_t size)
{
    while (size > 0) {
        const DWORD chunk = DWORD(std::min<std::size_t>(size, 1 << 30));
        DWORD written = 0;
        if (!WriteFile(handleOf(m_fd), data, chunk, &written, nullptr)) {
            m_failure = systemProblem(m_output);
            return;
        }
        data += written;
        size -= written;
    }
}

void OutputFile::startWriteback()
{
    // Windows' lazy writer starts writing on its own; there is no call to
    // hurry one range along.
}

void OutputFile::writeAt(std::uint64_t offset, std::span<const std::uint8_t> bytes)
{
    if (m_failure)
        return;
    flushBuffer();
    if (m_failure)
        return;
    OVERLAPPED at{};
    at.Offset = DWORD(offset);
    at.OffsetHigh = DWORD(offset >> 32);
    DWORD written = 0;
    if (!WriteFile(handleOf(m_fd), bytes.data(), DWORD(bytes.size()), &written, &at) || written != bytes.size()) {
        m_failure = systemProblem(m_output);
        return;
    }
    // The write moved the file pointer: back to the end, where the next one goes.
    LARGE_INTEGER end;
    end.QuadPart = LONGLONG(m_position);
    SetFilePointerEx(handleOf(m_fd), end, nullptr, FILE_BEGIN);
}

Failure OutputFile::commit()
{
    if (!m_failure)
        flushBuffer();
    if (m_failure)
        return m_failure;
    FILE_BASIC_INFO shown{};   // times left as they are
    shown.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    if (!SetFileInformationByHandle(handleOf(m_fd), FileBasicInfo, &shown, sizeof shown)
        || !FlushFileBuffers(handleOf(m_fd)))
        return systemProblem(m_output);
    g_pendingHandle = INVALID_HANDLE_VALUE;
    if (_close(std::exchange(m_fd, -1)) != 0)
        return systemProblem(m_output);
    const std::wstring temporary = wideFromUtf8(m_temporary), output = wideFromUtf8(m_output);
    // An output that exists is replaced in place, so it keeps its own access
    // rules, which a rename would swap for those of its folder. Where that
    // cannot be done (no such file, rules this user may not copy, a file
    // system without them), the rename does it; write-through puts the
    // rename itself on disk when this returns.
    if (!ReplaceFileW(output.c_str(), temporary.c_str(), nullptr,
                      REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS, nullptr, nullptr)
        && !MoveFileExW(temporary.c_str(), output.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return systemProblem(m_output);
    g_hasPendingTemporary = false;
    m_temporary.clear();
    return std::nullopt;
}

void OutputFile::discard()
{
    g_pendingHandle = INVALID_HANDLE_VALUE;
    if (m_fd >= 0)
        _close(m_fd);
    m_fd = -1;
    if (!m_temporary.empty()) {
        g_hasPendingTemporary = false;
        DeleteFileW(wideFromUtf8(m_temporary).c_str());
        m_temporary.clear();
    }
}
