#include "convert/Launch.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <vector>

extern char **environ;

LaunchedProcess launchProcess(const Command &command, const QString &errorLog)
{
    const QByteArray program = QFile::encodeName(command.program);
    std::vector<QByteArray> encoded{program};
    for (const QString &argument : command.arguments)
        encoded.push_back(argument.toUtf8());
    std::vector<char *> argv;
    for (QByteArray &argument : encoded)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    const QByteArray log = errorLog.isEmpty() ? QByteArray("/dev/null") : QFile::encodeName(errorLog);
    posix_spawn_file_actions_addopen(&actions, 2, log.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);

    pid_t pid = 0;
    const int error = posix_spawn(&pid, program.constData(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return {pid, error};
}

std::optional<int> exitStatus(const LaunchedProcess &process)
{
    int status = 0;
    const pid_t ended = ::waitpid(pid_t(process.id), &status, WNOHANG);
    if (ended == 0)
        return std::nullopt;
    if (ended < 0)
        return errno == ECHILD ? std::optional<int>(0) : std::nullopt;
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    return 128 + WTERMSIG(status);
}
