#include "ConverterCommand.h"

#include <QDir>
#include <QFile>

#include <unistd.h>

QString converterFileName()
{
#ifdef Q_OS_WIN
    return QStringLiteral("jpeg2swf.exe");
#else
    return QStringLiteral("jpeg2swf");
#endif
}

namespace {

// The window's paths are absolute; one that begins with '-' or '@' would be
// read as an option or a list file, so it is written relative: "./-a.jpg".
// Any converter takes that as the same file, with no "--" needed.
QString asPathArgument(const QString &path)
{
    if (path.startsWith(QLatin1Char('-')) || path.startsWith(QLatin1Char('@')))
        return QStringLiteral("./") + path;
    return path;
}

} // namespace

ConverterCommand buildConverterCommand(const QString &programFolder, const QString &delay,
                                       const QStringList &pictures, const QString &output,
                                       const std::function<void(int, int)> &progress)
{
    const QChar quote = QLatin1Char('"');
    ConverterCommand result;
    result.command.program = programFolder + QDir::separator() + converterFileName();

    QString picturePart;
    QStringList pictureArguments;
    pictureArguments.reserve(pictures.size());
    const int count = int(pictures.size());
    for (int index = 1; index <= count; ++index) {
        if (progress)
            progress(index, count);
        const QString path = asPathArgument(pictures[index - 1]);
        picturePart += quote + path + quote + QLatin1Char(' ');
        pictureArguments << path;
    }

    const QString outputArgument = asPathArgument(output);
    result.commandLine = quote + result.command.program + quote + QStringLiteral(" -r ") + delay
        + QLatin1Char(' ') + picturePart + QStringLiteral(" -o ") + quote + outputArgument + quote;
    result.command.arguments = QStringList{QStringLiteral("-r"), delay} + pictureArguments
        + QStringList{QStringLiteral("-o"), outputArgument};
    return result;
}

bool fitsOneLaunch(const Command &command)
{
    // Half the system's limit leaves room for the environment. A single
    // argument may not exceed 32 pages on Linux either.
    const long limit = ::sysconf(_SC_ARG_MAX);
    qint64 total = command.program.toUtf8().size() + 1;
    for (const QString &argument : command.arguments) {
        const qint64 size = argument.toUtf8().size() + 1 + qint64(sizeof(char *));
        if (size > 32 * 4096)
            return false;
        total += size;
    }
    return total < (limit > 0 ? limit : 131072) / 2;
}

bool moveArgumentsToListFile(Command &command, QFile &listFile, QString &error)
{
    QByteArray content;
    for (const QString &argument : std::as_const(command.arguments)) {
        if (argument.contains(QLatin1Char('\n')) || argument.contains(QLatin1Char('\r'))) {
            error = QObject::tr("This path holds a line break, which the converter cannot be given "
                                "in a list this long:\n%1").arg(argument);
            return false;
        }
        content += argument.toUtf8() + '\n';
    }
    if (!listFile.isOpen() || listFile.write(content) != content.size() || !listFile.flush()) {
        error = QObject::tr("Cannot write the list of pictures to %1: %2")
                    .arg(listFile.fileName(), listFile.errorString());
        return false;
    }
    command.arguments = QStringList{QLatin1Char('@') + listFile.fileName()};
    return true;
}
