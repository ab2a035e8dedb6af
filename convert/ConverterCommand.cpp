#include "ConverterCommand.h"

#include <QCoreApplication>
#include <QFile>
#include <QSet>

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

Command buildConverterCommand(const QString &converter, const QString &delay,
                              const QStringList &pictures, const QString &output,
                              const std::function<void(int, int)> &progress)
{
    Command command{converter, {QStringLiteral("-r"), delay}};
    command.arguments.reserve(pictures.size() + 4);
    const int count = int(pictures.size());
    for (int index = 1; index <= count; ++index) {
        if (progress)
            progress(index, count);
        command.arguments << asPathArgument(pictures[index - 1]);
    }
    command.arguments << QStringLiteral("-o") << asPathArgument(output);
    return command;
}

QStringList namedPictures(const QString &converterWords, const QStringList &pictures, const QString &output)
{
    QSet<QString> arguments;
    for (const QString &picture : pictures)
        arguments.insert(asPathArgument(picture));
    arguments.remove(asPathArgument(output));
    // A path may hold ": " itself: of the ways to read a line, the longest
    // listed path wins ("/p/a: b.jpg" over "/p/a").
    const QString prefix = QStringLiteral("jpeg2swf: ");
    QSet<QString> named;
    for (const QStringView line : QStringView(converterWords).split(QLatin1Char('\n'))) {
        if (!line.startsWith(prefix))
            continue;
        for (qsizetype at = line.lastIndexOf(QLatin1String(": ")); at > prefix.size();
             at = line.lastIndexOf(QLatin1String(": "), at - 1)) {
            const QString candidate = line.mid(prefix.size(), at - prefix.size()).toString();
            if (arguments.contains(candidate)) {
                named.insert(candidate);
                break;
            }
        }
    }
    QStringList found;
    for (const QString &picture : pictures)
        if (named.remove(asPathArgument(picture)))
            found << picture;   // once, where it is first listed
    return found;
}

bool writeListFile(const Command &command, QFile &listFile, QString &error)
{
    QByteArray content;
    for (const QString &argument : command.arguments) {
        if (argument.contains(QLatin1Char('\n')) || argument.contains(QLatin1Char('\r'))) {
            error = QCoreApplication::translate("ConversionRun",
                                                "This path holds a line break, which the converter cannot "
                                                "be given in a list this long:\n%1")
                        .arg(argument);
            return false;
        }
        content += argument.toUtf8() + '\n';
    }
    if (!listFile.isOpen() || listFile.write(content) != content.size() || !listFile.flush()) {
        error = QCoreApplication::translate("ConversionRun", "Cannot write the list of pictures to %1: %2")
                    .arg(listFile.fileName(), listFile.errorString());
        return false;
    }
    return true;
}
