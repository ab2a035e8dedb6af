#include "ProcessLaunch.h"

#include "ProgressVariable.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

// The first descriptor number ChildFiles::inherited takes in the program.
constexpr int kFirstInheritedFd = 3;

// An ignored SIGCHLD survives exec: a launcher may have left it so. The kernel
// then reaps our children itself and their exit status is lost to waitpid.
void collectChildrenStatus()
{
    struct sigaction current {};
    if (::sigaction(SIGCHLD, nullptr, &current) == 0 && current.sa_handler == SIG_IGN)
        ::signal(SIGCHLD, SIG_DFL);
}

// Ours without our progress variable, plus the one naming the channel if any.
std::vector<std::string> childEnvironment(int progressFd)
{
    std::vector<std::string> variables;
    const std::string prefix = std::string(kProgressVariable) + '=';
    for (char **entry = environ; *entry; ++entry)
        if (std::strncmp(*entry, prefix.c_str(), prefix.size()) != 0)
            variables.emplace_back(*entry);
    if (progressFd >= 0)
        variables.push_back(prefix + std::to_string(progressFd));
    return variables;
}

std::vector<char *> pointers(std::vector<std::string> &strings)
{
    std::vector<char *> result;
    for (std::string &string : strings)
        result.push_back(string.data());
    result.push_back(nullptr);
    return result;
}

} // namespace

void OwnedFile::reset(NativeFile file)
{
    if (m_file >= 0)
        ::close(m_file);
    m_file = file;
}

LaunchedProcess launchProcess(const ProcessRequest &request)
{
    collectChildrenStatus();
    std::vector<std::string> arguments{request.program};
    arguments.insert(arguments.end(), request.arguments.begin(), request.arguments.end());
    std::vector<char *> argv = pointers(arguments);

    // Each file goes to a fixed number in the child. Copies above all those
    // numbers first, so that no move overwrites a file still to be moved.
    const ChildFiles &files = request.files;
    std::vector<std::pair<int, int>> moves;   // from, to
    if (files.standardError >= 0)
        moves.push_back({files.standardError, 2});
    int next = kFirstInheritedFd;
    for (int fd : files.inherited)
        moves.push_back({fd, next++});
    const int progressFd = request.progressChannel >= 0 ? next : -1;
    if (request.progressChannel >= 0)
        moves.push_back({request.progressChannel, next++});
    std::vector<OwnedFile> copies;
    for (auto &[from, to] : moves) {
        copies.emplace_back(::fcntl(from, F_DUPFD_CLOEXEC, next));
        if (!copies.back().valid())
            return {0, errno, OwnedFile()};
        from = copies.back().get();
    }

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    if (files.standardError < 0)
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    for (const auto &[from, to] : moves)
        posix_spawn_file_actions_adddup2(&actions, from, to);

    std::vector<std::string> environment = childEnvironment(progressFd);
    std::vector<char *> envp = pointers(environment);
    pid_t pid = 0;
    const int error = posix_spawn(&pid, request.program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0)
        return {0, error, OwnedFile()};
#ifdef SYS_pidfd_open
    OwnedFile endNotice(int(::syscall(SYS_pidfd_open, pid, 0)));   // close-on-exec by nature
#else
    OwnedFile endNotice;
#endif
    return {pid, 0, std::move(endNotice)};
}

std::optional<std::int32_t> exitStatus(const LaunchedProcess &process)
{
    int status = 0;
    pid_t ended;
    do
        ended = ::waitpid(pid_t(process.id), &status, WNOHANG);
    while (ended < 0 && errno == EINTR);
    if (ended == 0)
        return std::nullopt;
    if (ended < 0)
        return kExitStatusUnknown;   // reaped by someone else: a status not seen is no success
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    return 128 + WTERMSIG(status);
}

bool fitsOneLaunch(const std::string &program, const std::vector<std::string> &arguments)
{
    // Half the system's limit leaves room for the environment. A single
    // argument may not exceed 32 pages on Linux either.
    const long limit = ::sysconf(_SC_ARG_MAX);
    std::size_t total = program.size() + 1;
    for (const std::string &argument : arguments) {
        const std::size_t size = argument.size() + 1 + sizeof(char *);
        if (size > 32 * 4096)
            return false;
        total += size;
    }
    return total < std::size_t(limit > 0 ? limit : 131072) / 2;
}

std::string launchErrorText(int error)
{
    return std::strerror(error);
}

std::string inheritedFileName(std::size_t index, const std::string &)
{
    return "/dev/fd/" + std::to_string(kFirstInheritedFd + index);
}

OwnedFile keepOpenOnly(int descriptor, const std::string &path)
{
    OwnedFile copy(::fcntl(descriptor, F_DUPFD_CLOEXEC, 0));
    if (copy.valid()) {
        ::unlink(path.c_str());
        ::lseek(copy.get(), 0, SEEK_SET);
    }
    return copy;
}

OwnedFile openScratchFile(const std::string &folder)
{
    std::string name = folder + "/pictoreel-XXXXXX.log";
    OwnedFile file(::mkostemps(name.data(), 4, O_CLOEXEC));
    if (file.valid())
        ::unlink(name.c_str());
    return file;
}

std::string readFromStart(NativeFile file, std::size_t limit)
{
    std::string content(limit, '\0');
    std::size_t filled = 0;
    while (filled < limit) {
        const ssize_t count = ::pread(file, content.data() + filled, limit - filled, off_t(filled));
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            break;
        filled += std::size_t(count);
    }
    content.resize(filled);
    return content;
}

std::pair<OwnedFile, OwnedFile> openProgressChannel()
{
    // Non-blocking at both ends: we read until it is empty, and the writer
    // must never wait for us (a full channel drops its reports).
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0)
        return {};
    return {OwnedFile(ends[0]), OwnedFile(ends[1])};
}

bool readAvailable(NativeFile channel, std::string &into)
{
    char buffer[4096];
    while (true) {
        const ssize_t count = ::read(channel, buffer, sizeof buffer);
        if (count > 0)
            into.append(buffer, std::size_t(count));
        else if (count < 0 && errno == EINTR)
            continue;
        else
            return count < 0 && errno == EAGAIN;
    }
}
