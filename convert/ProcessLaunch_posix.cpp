#include "ProcessLaunch.h"

#include <QFile>

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

const char kProgressVariable[] = "JPEG2SWF_PROGRESS_FD";

// An ignored SIGCHLD survives exec: a launcher may have left it so. The kernel
// then reaps our children itself and their exit status is lost to waitpid.
void collectChildrenStatus()
{
    struct sigaction current {};
    if (::sigaction(SIGCHLD, nullptr, &current) == 0 && current.sa_handler == SIG_IGN)
        ::signal(SIGCHLD, SIG_DFL);
}

// Ours without our progress variable, plus the one naming the channel if any.
std::vector<QByteArray> childEnvironment(int progressFd)
{
    std::vector<QByteArray> variables;
    const QByteArray prefix = QByteArray(kProgressVariable) + '=';
    for (char **entry = environ; *entry; ++entry)
        if (std::strncmp(*entry, prefix.constData(), size_t(prefix.size())) != 0)
            variables.emplace_back(*entry);
    if (progressFd >= 0)
        variables.push_back(prefix + QByteArray::number(progressFd));
    return variables;
}

std::vector<char *> pointers(std::vector<QByteArray> &strings)
{
    std::vector<char *> result;
    for (QByteArray &string : strings)
        result.push_back(string.data());
    result.push_back(nullptr);
    return result;
}

} // namespace

OwnedFd &OwnedFd::operator=(OwnedFd &&other) noexcept
{
    if (this != &other) {
        this->~OwnedFd();
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

OwnedFd::~OwnedFd()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

LaunchedProcess launchProcess(const Command &command, const ChildFiles &files, int progressChannel)
{
    collectChildrenStatus();
    const QByteArray program = QFile::encodeName(command.program);
    std::vector<QByteArray> arguments{program};
    for (const QString &argument : command.arguments)
        arguments.push_back(argument.toUtf8());
    std::vector<char *> argv = pointers(arguments);

    // Each file goes to a fixed number in the child. Copies above all those
    // numbers first, so that no move overwrites a file still to be moved.
    std::vector<std::pair<int, int>> moves;   // from, to
    if (files.standardError >= 0)
        moves.push_back({files.standardError, 2});
    int next = kFirstInheritedFd;
    for (int fd : files.inherited)
        moves.push_back({fd, next++});
    const int progressFd = progressChannel >= 0 ? next : -1;
    if (progressChannel >= 0)
        moves.push_back({progressChannel, next++});
    std::vector<OwnedFd> copies;
    for (auto &[from, to] : moves) {
        copies.emplace_back(::fcntl(from, F_DUPFD_CLOEXEC, next));
        if (!copies.back().valid())
            return {0, errno, OwnedFd()};
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

    std::vector<QByteArray> environment = childEnvironment(progressFd);
    std::vector<char *> envp = pointers(environment);
    pid_t pid = 0;
    const int error = posix_spawn(&pid, program.constData(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0)
        return {0, error, OwnedFd()};
#ifdef SYS_pidfd_open
    OwnedFd endNotice(int(::syscall(SYS_pidfd_open, pid, 0)));   // close-on-exec by nature
#else
    OwnedFd endNotice;
#endif
    return {pid, 0, std::move(endNotice)};
}

std::optional<qint32> exitStatus(const LaunchedProcess &process)
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
