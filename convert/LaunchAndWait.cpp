#include "LaunchAndWait.h"

#include "ProcessLaunch.h"

#include <QEventLoop>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kWaitCycle = 100;   // ms, where the end of a process is not told
constexpr qsizetype kLongestReport = 64;

// Reads the progress channel as it fills: lines "DONE TOTAL".
class ProgressReader
{
public:
    explicit ProgressReader(ProgressReport report) : m_report(std::move(report)) {}

    // Our end of a new channel, and the end to hand over; invalid when it
    // cannot be made (the program then runs without one).
    std::pair<OwnedFd, OwnedFd> open()
    {
        // Non-blocking at both ends: we read until it is empty, and the writer
        // must never wait for us (a full channel drops its reports).
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0)
            return {};
        return {OwnedFd(ends[0]), OwnedFd(ends[1])};
    }

    // Takes in all that is there now; false once the writer has gone.
    bool readAvailable(int fd)
    {
        char buffer[4096];
        while (true) {
            const ssize_t count = ::read(fd, buffer, sizeof buffer);
            if (count > 0)
                take(buffer, count);
            else if (count < 0 && errno == EINTR)
                continue;
            else
                return count < 0 && errno == EAGAIN;
        }
    }

private:
    void take(const char *data, ssize_t count)
    {
        m_pending.append(data, count);
        qsizetype end;
        while ((end = m_pending.indexOf('\n')) >= 0) {
            const QList<QByteArray> fields = m_pending.left(end).split(' ');
            m_pending.remove(0, end + 1);
            bool doneOk = false, totalOk = false;
            const int done = fields.size() == 2 ? fields[0].toInt(&doneOk) : 0;
            const int total = fields.size() == 2 ? fields[1].toInt(&totalOk) : 0;
            if (doneOk && totalOk && total > 0 && done >= 0 && done <= total)
                m_report(done, total);
        }
        if (m_pending.size() > kLongestReport)
            m_pending.clear();   // not a report: no line of ours is this long
    }

    ProgressReport m_report;
    QByteArray m_pending;
};

} // namespace

int settleWindowStyle(std::optional<int> windowStyle)
{
    if (!windowStyle || *windowStyle < 0 || *windowStyle > 6)
        return 6;
    return *windowStyle;
}

qint32 launchAndWait(const Command &command, std::optional<int> windowStyle, const ChildFiles &files,
                     const ProgressReport &progress)
{
    // Settled as everywhere, but a console program on Linux shows no window:
    // nothing uses the value here.
    [[maybe_unused]] const int style = settleWindowStyle(windowStyle);

    ProgressReader reader(progress);
    auto [channel, childEnd] = progress ? reader.open() : std::pair<OwnedFd, OwnedFd>();
    const LaunchedProcess process = launchProcess(command, files, childEnd.get());
    childEnd = OwnedFd();   // the channel ends when the program's copy does
    if (process.error != 0)
        return launchFailure(process.error);

    // Everything below is told through the event loop, so that the window's
    // events are handled at once, a nested conversion included. A nested wait
    // may hold this loop back after it was told to quit: each notifier is
    // switched off once it has said its piece, or it would fire on and on.
    QEventLoop wait;
    std::optional<qint32> status;
    QTimer cycle;
    const auto check = [&] {
        if (status || !(status = exitStatus(process)))
            return;
        cycle.stop();
        wait.quit();
    };
    std::optional<QSocketNotifier> ended;
    if (process.endNotice.valid()) {
        ended.emplace(process.endNotice.get(), QSocketNotifier::Read);
        QObject::connect(&*ended, &QSocketNotifier::activated, [&] {
            ended->setEnabled(false);
            check();
            if (!status)   // told of the end before it can be collected: rare, poll instead
                cycle.start(kWaitCycle);
        });
    } else {
        cycle.start(kWaitCycle);
    }
    QObject::connect(&cycle, &QTimer::timeout, check);
    std::optional<QSocketNotifier> reports;
    if (channel.valid()) {
        reports.emplace(channel.get(), QSocketNotifier::Read);
        QObject::connect(&*reports, &QSocketNotifier::activated, [&] {
            if (!reader.readAvailable(channel.get()))
                reports->setEnabled(false);
        });
    }
    check();
    while (!status)
        wait.exec();
    if (channel.valid())
        reader.readAvailable(channel.get());   // the last reports, written before the end
    return *status;
}
