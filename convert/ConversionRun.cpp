#include "ConversionRun.h"

#include "ConverterCommand.h"
#include "ProcessLaunch.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryFile>

#include <cerrno>
#include <cstring>

namespace {

// The converter names every bad picture on a line of its own: room for
// tens of thousands of them.
constexpr std::size_t kMostWords = 8 << 20;

// How many runs are waiting, nested in one another. Only the innermost one
// moves the bar, or an outer run's reports would pull it to and fro.
int g_runsWaiting = 0;

QString tr(const char *text)
{
    return QCoreApplication::translate("ConversionRun", text);
}

// What the converter wrote, in whole lines.
QString wordsOf(const OwnedFile &log)
{
    std::string words = readFromStart(log.get(), kMostWords);
    const bool cut = words.size() == kMostWords;
    if (cut)
        words.resize(words.rfind('\n') + 1);   // no line cut in two; "…" says there was more
    const QString text = QString::fromStdString(words).trimmed();
    return cut ? text + QStringLiteral("\n…") : text;
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
    // Lives until the run ends: on Windows the converter opens it by its name.
    QTemporaryFile listFile(QDir::tempPath() + QStringLiteral("/pictoreel-XXXXXX.args"));
    OwnedFile listCopy;
    if (!fitsOneLaunch(command.program.toStdString(), systemArguments(command))) {
        QString error;
        if (!listFile.open() || !writeListFile(command, listFile, error))
            return {ConversionResult::Outcome::NotStarted,
                    error.isEmpty() ? tr("Cannot write the list of pictures: %1").arg(listFile.errorString()) : error};
        listCopy = keepOpenOnly(listFile.handle(), listFile.fileName().toStdString());
        if (!listCopy.valid())
            return {ConversionResult::Outcome::NotStarted,
                    tr("Cannot write the list of pictures: %1").arg(QString::fromLocal8Bit(std::strerror(errno)))};
        files.inherited.push_back(listCopy.get());
        // The converter reads the list through the file it inherits.
        command.arguments = {QLatin1Char('@')
                             + QString::fromStdString(inheritedFileName(0, listFile.fileName().toStdString()))};
    }
    // Without a log the converter's words are lost, not the conversion.
    const OwnedFile errorLog = openScratchFile(QDir::tempPath().toStdString());
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
    const qint32 status = launchAndWait(command, 0, files, showProgress ? follow : ProgressReport());
    if (status == 0)
        return {ConversionResult::Outcome::Done, tr("Done.")};
    if (status == kExitStatusUnknown)
        return {ConversionResult::Outcome::Failed,
                tr("The converter has ended, but its result could not be read: the slide show may be "
                   "missing or incomplete.")};
    if (const std::optional<int> error = launchFailureError(status)) {
        return {ConversionResult::Outcome::NotStarted,
                tr("The converter could not be started:\n%1\n\n%2")
                    .arg(QDir::toNativeSeparators(command.program), QString::fromLocal8Bit(launchErrorText(*error)))};
    }
    const QString said = errorLog.valid() ? wordsOf(errorLog) : QString();
    return {ConversionResult::Outcome::Failed,
            said.isEmpty() ? tr("The conversion failed: the converter ended with status %1.").arg(status)
                           : tr("The conversion failed.\n\n%1").arg(said),
            said};
}
