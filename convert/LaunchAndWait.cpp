#include "LaunchAndWait.h"

#include "ProcessLaunch.h"

#include <QEventLoop>
#include <QSocketNotifier>
#include <QTimer>
#ifdef Q_OS_WIN
#include <QWinEventNotifier>
#endif


namespace {

constexpr int kWaitCycle = 100;   // ms, where the end of a process is not told
constexpr qsizetype kLongestReport = 64;

// Reads the progress channel as it fills: lines "DONE TOTAL".
class ProgressReader
{
public:
    explicit ProgressReader(ProgressReport report) : m_report(std::move(report)) {}

    // Takes in all that is there now; false once the writer has gone.
    bool readReports(NativeFile channel)
    {
        std::string read;
        const bool open = ::readAvailable(channel, read);
        m_pending.append(read.data(), qsizetype(read.size()));
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
        return open;
    }

private:
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

std::vector<std::string> systemArguments(const Command &command)
{
    std::vector<std::string> arguments;
    arguments.reserve(std::size_t(command.arguments.size()));
    for (const QString &argument : command.arguments)
        arguments.push_back(argument.toStdString());
    return arguments;
}

qint32 launchAndWait(const Command &command, std::optional<int> windowStyle, const ChildFiles &files,
                     const ProgressReport &progress)
{
    ProgressReader reader(progress);
    auto [channel, childEnd] = progress ? openProgressChannel() : std::pair<OwnedFile, OwnedFile>();
    const LaunchedProcess process = launchProcess(
        {command.program.toStdString(), systemArguments(command), settleWindowStyle(windowStyle), files, childEnd.get()});
    childEnd = OwnedFile();   // the channel ends when the program's copy does
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
    // The end is told by the process's descriptor turning readable, or on
    // Windows by its handle being signalled.
#ifdef Q_OS_WIN
    using EndNotifier = QWinEventNotifier;
#else
    using EndNotifier = QSocketNotifier;
#endif
    std::optional<EndNotifier> ended;
    if (process.endNotice.valid()) {
#ifdef Q_OS_WIN
        ended.emplace(process.endNotice.get());
#else
        ended.emplace(process.endNotice.get(), QSocketNotifier::Read);
#endif
        QObject::connect(&*ended, &EndNotifier::activated, [&] {
            ended->setEnabled(false);
            check();
            if (!status)   // told of the end before it can be collected: rare, poll instead
                cycle.start(kWaitCycle);
        });
    } else {
        cycle.start(kWaitCycle);
    }
    QObject::connect(&cycle, &QTimer::timeout, check);
    // Reports are read as they arrive; on Windows, where a pipe cannot be
    // watched by the event loop, every wait cycle.
#ifdef Q_OS_WIN
    std::optional<QTimer> reports;
    if (channel.valid()) {
        reports.emplace();
        QObject::connect(&*reports, &QTimer::timeout, [&] {
            if (!reader.readReports(channel.get()))
                reports->stop();
        });
        reports->start(kWaitCycle);
    }
#else
    std::optional<QSocketNotifier> reports;
    if (channel.valid()) {
        reports.emplace(qintptr(channel.get()), QSocketNotifier::Read);
        QObject::connect(&*reports, &QSocketNotifier::activated, [&] {
            if (!reader.readReports(channel.get()))
                reports->setEnabled(false);
        });
    }
#endif
    check();
    while (!status)
        wait.exec();
    if (channel.valid())
        reader.readReports(channel.get());   // the last reports, written before the end
    return *status;
}
