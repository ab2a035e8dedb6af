// Launching on Windows: CreateProcessW with a command line quoted for the C
// runtime's argument reader; the program inherits only the handles listed for
// it, and finds the progress channel's by its value in the environment.
#include "ProcessLaunch.h"

#include "ProgressVariable.h"
#include "WideText_windows.h"

#include <windows.h>

#include <io.h>

#include <atomic>
#include <cwchar>
#include <random>

namespace {

// One argument as the C runtime reads it back whole: quoted when it is empty
// or holds a blank, a tab or a quote; backslashes doubled only where a quote
// follows them (the closing one included); a quote inside as \".
void appendQuoted(std::wstring &line, const std::wstring &argument)
{
    if (!line.empty())
        line += L' ';
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
        line += argument;
        return;
    }
    line += L'"';
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        if (c == L'"')
            line.append(2 * backslashes + 1, L'\\');
        else
            line.append(backslashes, L'\\');
        backslashes = 0;
        line += c;
    }
    line.append(2 * backslashes, L'\\');
    line += L'"';
}

std::wstring commandLine(const std::string &program, const std::vector<std::string> &arguments)
{
    std::wstring line;
    appendQuoted(line, wideFromUtf8(program));
    for (const std::string &argument : arguments)
        appendQuoted(line, wideFromUtf8(argument));
    return line;
}

// The one limit of CreateProcessW: the whole command line, in UTF-16 units.
constexpr std::size_t kLongestCommandLine = 32767;

// A handle the program inherits: a copy of ours, inheritable, closed again
// once the program has its own.
OwnedFile inheritableCopy(NativeFile file)
{
    HANDLE copy = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), file, GetCurrentProcess(), &copy, 0, TRUE, DUPLICATE_SAME_ACCESS))
        return OwnedFile();
    return OwnedFile(copy);
}

// Ours without our progress variable, plus the one naming the channel's
// handle if any, as the block CreateProcessW takes: NAME=VALUE strings, each
// ending in a NUL, and one more NUL after the last.
std::wstring childEnvironment(NativeFile progressChannel)
{
    const std::wstring prefix = wideFromUtf8(kProgressVariable) + L'=';
    std::wstring block;
    wchar_t *const ours = GetEnvironmentStringsW();
    for (const wchar_t *entry = ours; entry && *entry; entry += std::wcslen(entry) + 1)
        if (_wcsnicmp(entry, prefix.c_str(), prefix.size()) != 0)
            block.append(entry).push_back(L'\0');
    FreeEnvironmentStringsW(ours);
    if (progressChannel != kNoFile)
        block.append(prefix + std::to_wstring(reinterpret_cast<std::uintptr_t>(progressChannel))).push_back(L'\0');
    block.push_back(L'\0');
    return block;
}

OwnedFile openNul(DWORD access)
{
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    return OwnedFile(CreateFileW(L"NUL", access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable, OPEN_EXISTING, 0,
                                 nullptr));
}

} // namespace

void OwnedFile::reset(NativeFile file)
{
    if (m_file != kNoFile && m_file != nullptr)
        CloseHandle(m_file);
    m_file = file;
}

LaunchedProcess launchProcess(const ProcessRequest &request)
{
    // Standard input from nowhere, output discarded, errors where asked.
    OwnedFile input = openNul(GENERIC_READ);
    OwnedFile output = openNul(GENERIC_WRITE);
    OwnedFile errors = request.files.standardError != kNoFile ? inheritableCopy(request.files.standardError)
                                                              : openNul(GENERIC_WRITE);
    std::vector<OwnedFile> inherited;
    for (NativeFile file : request.files.inherited)
        inherited.push_back(inheritableCopy(file));
    // An inherited handle keeps its value: the program is told that of our copy.
    if (request.progressChannel != kNoFile)
        inherited.push_back(inheritableCopy(request.progressChannel));
    const NativeFile progressCopy = request.progressChannel != kNoFile ? inherited.back().get() : kNoFile;
    std::vector<HANDLE> handed{input.get(), output.get(), errors.get()};
    for (const OwnedFile &file : inherited)
        handed.push_back(file.get());
    for (HANDLE handle : handed)
        if (handle == kNoFile || handle == nullptr)
            return {0, int(GetLastError()), OwnedFile()};

    // Only the handles listed are inherited, not every inheritable one of ours.
    SIZE_T size = 0;
    InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
    std::vector<char> attributeSpace(size);
    const auto attributes = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(attributeSpace.data());
    if (!InitializeProcThreadAttributeList(attributes, 1, 0, &size))
        return {0, int(GetLastError()), OwnedFile()};
    UpdateProcThreadAttribute(attributes, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, handed.data(),
                              handed.size() * sizeof(HANDLE), nullptr, nullptr);

    STARTUPINFOEXW startup{};
    startup.StartupInfo.cb = sizeof startup;
    startup.StartupInfo.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
    startup.StartupInfo.wShowWindow = WORD(request.showWindow);
    startup.StartupInfo.hStdInput = input.get();
    startup.StartupInfo.hStdOutput = output.get();
    startup.StartupInfo.hStdError = errors.get();
    startup.lpAttributeList = attributes;

    std::wstring line = commandLine(request.program, request.arguments);
    std::wstring environment = childEnvironment(progressCopy);
    PROCESS_INFORMATION started{};
    // The program by its own name, never searched for; a console program
    // gets a console of its own that is never shown.
    const BOOL ok = CreateProcessW(wideFromUtf8(request.program).c_str(), line.data(), nullptr, nullptr, TRUE,
                                   CREATE_NO_WINDOW | CREATE_UNICODE_ENVIRONMENT | EXTENDED_STARTUPINFO_PRESENT,
                                   environment.data(), nullptr, &startup.StartupInfo, &started);
    const DWORD error = GetLastError();
    DeleteProcThreadAttributeList(attributes);
    if (!ok)
        return {0, int(error), OwnedFile()};
    CloseHandle(started.hThread);
    return {std::int64_t(started.dwProcessId), 0, OwnedFile(started.hProcess)};
}

std::optional<std::int32_t> exitStatus(const LaunchedProcess &process)
{
    const DWORD waited = WaitForSingleObject(process.endNotice.get(), 0);
    if (waited == WAIT_TIMEOUT)
        return std::nullopt;
    DWORD code = 0;
    if (waited != WAIT_OBJECT_0 || !GetExitCodeProcess(process.endNotice.get(), &code))
        return kExitStatusUnknown;
    // The process has ended: 259 (STILL_ACTIVE) is then its own exit code.
    return std::int32_t(code);
}

bool fitsOneLaunch(const std::string &program, const std::vector<std::string> &arguments)
{
    return commandLine(program, arguments).size() < kLongestCommandLine;
}

std::string inheritedFileName(std::size_t, const std::string &path)
{
    return path;
}

OwnedFile keepOpenOnly(int descriptor, const std::string &)
{
    // An open file cannot lose its name on Windows: the name stays until its
    // owner removes it, and the copy reads from the start by position.
    HANDLE copy = nullptr;
    const auto file = reinterpret_cast<HANDLE>(_get_osfhandle(descriptor));
    if (file == INVALID_HANDLE_VALUE
        || !DuplicateHandle(GetCurrentProcess(), file, GetCurrentProcess(), &copy, 0, FALSE, DUPLICATE_SAME_ACCESS))
        return OwnedFile();
    return OwnedFile(copy);
}

OwnedFile openScratchFile(const std::string &folder)
{
    static const wchar_t kLetters[] = L"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::wstring name = wideFromUtf8(folder) + L"\\pictoreel-";
        for (int i = 0; i < 6; ++i)
            name += kLetters[random() % (std::size(kLetters) - 1)];
        name += L".log";
        // Removed by the system when the last handle, ours or an inherited
        // one, is closed, also when the window has ended before the converter.
        const HANDLE file = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (file != INVALID_HANDLE_VALUE)
            return OwnedFile(file);
        if (GetLastError() != ERROR_FILE_EXISTS)
            break;
    }
    return OwnedFile();
}

std::string readFromStart(NativeFile file, std::size_t limit)
{
    std::string content(limit, '\0');
    std::size_t filled = 0;
    while (filled < limit) {
        OVERLAPPED at{};
        at.Offset = DWORD(filled);
        DWORD count = 0;
        if (!ReadFile(file, content.data() + filled, DWORD(limit - filled), &count, &at) || count == 0)
            break;
        filled += count;
    }
    content.resize(filled);
    return content;
}

std::string launchErrorText(int error)
{
    char *text = nullptr;
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM
                                            | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, DWORD(error), 0, reinterpret_cast<char *>(&text), 0, nullptr);
    std::string words = length ? std::string(text, length) : "error " + std::to_string(error);
    LocalFree(text);
    while (!words.empty() && (words.back() == '\n' || words.back() == '\r' || words.back() == '.'))
        words.pop_back();
    return words;
}

std::pair<OwnedFile, OwnedFile> openProgressChannel()
{
    // A named pipe of messages, so that the converter's non-blocking writes
    // put each report in whole or not at all; non-blocking at our end too, as
    // we read until it is empty. The name only joins the two ends here.
    static std::atomic<unsigned> count;
    const std::wstring name = L"\\\\.\\pipe\\pictoreel-progress-" + std::to_wstring(GetCurrentProcessId()) + L'-'
        + std::to_wstring(GetTickCount64()) + L'-' + std::to_wstring(++count);
    OwnedFile reader(CreateNamedPipeW(name.c_str(), PIPE_ACCESS_INBOUND | FILE_FLAG_FIRST_PIPE_INSTANCE,
                                      PIPE_TYPE_MESSAGE | PIPE_READMODE_BYTE | PIPE_NOWAIT | PIPE_REJECT_REMOTE_CLIENTS,
                                      1, 0, 4096, 0, nullptr));
    if (!reader.valid())
        return {};
    OwnedFile writer(CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    DWORD mode = PIPE_READMODE_BYTE | PIPE_NOWAIT;
    if (!writer.valid() || !SetNamedPipeHandleState(writer.get(), &mode, nullptr, nullptr))
        return {};
    return {std::move(reader), std::move(writer)};
}

bool readAvailable(NativeFile channel, std::string &into)
{
    char buffer[4096];
    while (true) {
        DWORD count = 0;
        const BOOL read = ReadFile(channel, buffer, sizeof buffer, &count, nullptr);
        if (read && count > 0) {
            into.append(buffer, count);
            continue;
        }
        // Empty but still open; otherwise the writer has gone.
        return read || GetLastError() == ERROR_NO_DATA;
    }
}
