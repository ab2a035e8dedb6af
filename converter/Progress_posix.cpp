#include "Progress.h"

#include <cerrno>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <string>
#include <sys/ioctl.h>
#include <unistd.h>

// The descriptor named by JPEG2SWF_PROGRESS_FD, or -1 when the variable is
// unset, not a decimal number or names no descriptor open for writing. Its
// flags are left alone: the open file is shared with the caller.
int progressChannel()
{
    const int fd = progressChannelNumber();
    if (fd < 0)
        return -1;
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags == -1 || (flags & O_ACCMODE) == O_RDONLY)
        return -1;
    return fd;
}

namespace {

// Whether a report can be written at once: a pipe with room for one line
// (shorter than PIPE_BUF, so it goes in whole) or a reader that has gone,
// which the write then tells.
bool readyForReport(int fd)
{
    pollfd channel{fd, POLLOUT, 0};
    int ready;
    while ((ready = ::poll(&channel, 1, 0)) < 0 && errno == EINTR) {
    }
    return ready != 0;
}

// One write(), with SIGPIPE held back in this thread and a SIGPIPE the write
// raised taken off again: a reader that went away costs an EPIPE, not the run,
// and the cleanup handler still answers every other SIGPIPE.
ssize_t writeWithoutSigpipe(int fd, const std::string &text)
{
    sigset_t pipeSignal, previous, pending;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeSignal, &previous);
    sigpending(&pending);
    const bool alreadyPending = sigismember(&pending, SIGPIPE);
    const ssize_t written = ::write(fd, text.data(), text.size());
    const int error = errno;
    if (written < 0 && error == EPIPE && !alreadyPending) {
        const timespec noWait{};
        while (sigtimedwait(&pipeSignal, nullptr, &noWait) == -1 && errno == EINTR) {
        }
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    errno = error;
    return written;
}

} // namespace

bool sendProgress(int channel, const std::string &line)
{
    // A full pipe drops this report (the next one says more); any other
    // failure means nobody is listening any more.
    if (!readyForReport(channel))
        return true;
    const ssize_t sent = writeWithoutSigpipe(channel, line);
    return sent == ssize_t(line.size()) || (sent < 0 && (errno == EAGAIN || errno == EINTR));
}

bool errorsOnTerminal()
{
    return ::isatty(STDERR_FILENO);
}

std::size_t terminalWidth()
{
    winsize size {};
    return ::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 ? size.ws_col : 0;
}
