#include "ConversionRun.h"

#include "ConverterCommand.h"
#include "ProcessLaunch.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryFile>

#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Enough of the converter's own words to say what went wrong without
// flooding the message box.
constexpr qsizetype kMaxErrorText = 1200;

// How many runs are waiting, nested in one another. Only the innermost one
// moves the bar, or an outer run's reports would pull it to and fro.
int g_runsWaiting = 0;

QString tr(const char *text)
{
    return QCoreApplication::translate("ConversionRun", text);
}

QString trimmed(QString text)
{
    text = text.trimmed();
    if (text.size() > kMaxErrorText)
        text = text.left(kMaxErrorText) + QStringLiteral("\n…");
    return text;
}

// Removes the file's name and keeps it open, read from its start: the file now
// lives only as long as we or the converter hold it, so nothing is left in the
// temporary folder even when the window is closed during the wait.
OwnedFd keepOpenOnly(QTemporaryFile &file)
{
    OwnedFd fd(::fcntl(int(file.handle()), F_DUPFD_CLOEXEC, 0));
    file.remove();
    ::lseek(fd.get(), 0, SEEK_SET);
    return fd;
}

QString readFrom(int fd)
{
    QFile file;
    if (fd < 0 || !file.open(fd, QIODevice::ReadOnly, QFileDevice::DontCloseHandle) || !file.seek(0))
        return {};
    return QString::fromUtf8(file.read(16 * kMaxErrorText));
}

struct WaitingRun {
    WaitingRun() : level(++g_runsWaiting) {}
    ~WaitingRun() { --g_runsWaiting; }
    bool innermost() const { return level == g_runsWaiting; }
    const int level;
};

} // namespace

ConversionResult runConverter(Command command, const std::function<void(int percent)> &showProgress)
{
    ChildFiles files;
    OwnedFd listFd;
    if (!fitsOneLaunch(command)) {
        QTemporaryFile listFile(QDir::tempPath() + QStringLiteral("/pictoreel-XXXXXX.args"));
        QString error;
        if (!listFile.open() || !moveArgumentsToListFile(command, listFile, error))
            return {ConversionResult::Outcome::NotStarted,
                    error.isEmpty() ? tr("Cannot write the list of pictures: %1").arg(listFile.errorString()) : error};
        listFd = keepOpenOnly(listFile);
        files.inherited.push_back(listFd.get());
        // The converter reads the list through the descriptor it inherits.
        command.arguments = {QStringLiteral("@/dev/fd/%1").arg(kFirstInheritedFd)};
    }
    QTemporaryFile errorLogFile(QDir::tempPath() + QStringLiteral("/pictoreel-XXXXXX.log"));
    const OwnedFd errorLog = errorLogFile.open() ? keepOpenOnly(errorLogFile) : OwnedFd();
    files.standardError = errorLog.get();

    const WaitingRun run;
    std::optional<int> shown;
    const ProgressReport follow = [&](int done, int total) {
        const int percent = int(qint64(done) * 100 / total);
        if (!run.innermost() || (shown && percent <= *shown))
            return;
        shown = percent;
        showProgress(percent);
    };
    const QString converter = command.program;
    const qint32 status = launchAndWait(command, 0, files, showProgress ? follow : ProgressReport());
    if (status == 0)
        return {ConversionResult::Outcome::Done, tr("Done.")};
    if (status == kExitStatusUnknown)
        return {ConversionResult::Outcome::Failed,
                tr("The converter has ended, but its result could not be read: the slide show may be "
                   "missing or incomplete.")};
    if (status < 0) {
        const int error = int(quint32(status) - 0x80040000u);
        return {ConversionResult::Outcome::NotStarted,
                tr("The converter could not be started:\n%1\n\n%2")
                    .arg(QDir::toNativeSeparators(converter), QString::fromLocal8Bit(std::strerror(error)))};
    }
    const QString said = trimmed(readFrom(errorLog.get()));
    return {ConversionResult::Outcome::Failed,
            said.isEmpty() ? tr("The conversion failed: the converter ended with status %1.").arg(status)
                           : tr("The conversion failed.\n\n%1").arg(said)};
}
