#include "convert/ConversionRun.h"

#include "convert/ConverterCommand.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryFile>

#include <cstring>

namespace {

// Enough of the converter's own words to say what went wrong without
// flooding the message box.
constexpr qsizetype kMaxErrorText = 1200;

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

} // namespace

ConversionResult runConverter(Command command)
{
    // Both files live in the temporary folder; they stay behind only when the
    // window is closed during the wait, for the converter still needs them.
    QTemporaryFile listFile(QDir::tempPath() + QStringLiteral("/pictoreel-XXXXXX.args"));
    if (!fitsOneLaunch(command)) {
        QString error;
        if (!listFile.open() || !moveArgumentsToListFile(command, listFile, error))
            return {ConversionResult::Outcome::NotStarted,
                    error.isEmpty() ? tr("Cannot write the list of pictures: %1").arg(listFile.errorString()) : error};
    }
    QTemporaryFile errorLog(QDir::tempPath() + QStringLiteral("/pictoreel-XXXXXX.log"));
    errorLog.open();

    const QString converter = command.program;
    const qint32 status = LaunchAndWait(command, 0, errorLog.fileName());
    if (status == 0)
        return {ConversionResult::Outcome::Done, tr("Done.")};
    if (status < 0) {
        const int error = int(quint32(status) - 0x80040000u);
        return {ConversionResult::Outcome::NotStarted,
                tr("The converter could not be started:\n%1\n\n%2")
                    .arg(QDir::toNativeSeparators(converter), QString::fromLocal8Bit(std::strerror(error)))};
    }
    errorLog.seek(0);
    const QString said = trimmed(QString::fromUtf8(errorLog.readAll()));
    return {ConversionResult::Outcome::Failed,
            said.isEmpty() ? tr("The conversion failed: the converter ended with status %1.").arg(status)
                           : tr("The conversion failed.\n\n%1").arg(said)};
}
