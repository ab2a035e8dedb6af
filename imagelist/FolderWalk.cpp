#include "FolderWalk.h"

#include "FolderListing.h"

#include <QDir>
#include <QSet>

QString joinPath(const QString &folder, const QString &name)
{
    const QChar separator = QDir::separator();
    const QString joined = folder + separator + name;
    // A Windows network path (\\server\share) begins with its pair.
#ifdef Q_OS_WIN
    const qsizetype kept = folder.startsWith(QString(2, separator)) ? 2 : 0;
#else
    const qsizetype kept = 0;
#endif
    QString folded = joined.left(kept);
    folded.reserve(joined.size());
    for (qsizetype i = kept; i < joined.size(); ++i) {
        folded += joined[i];
        if (joined[i] == separator && i + 1 < joined.size() && joined[i + 1] == separator)
            ++i;   // the pair's second separator; the next pair starts after it
    }
    return folded;
}

QString extensionPattern(const QString &extension)
{
    QString bare = extension;
    if (bare.startsWith(QLatin1String("*.")))
        bare.remove(0, 2);
    else if (bare.startsWith(QLatin1Char('.')))
        bare.remove(0, 1);
    return QStringLiteral("*.") + bare;
}

bool matchesWildcard(const QString &name, const QString &pattern)
{
    // Iterative matching with one backtracking point for the last '*'.
    qsizetype n = 0, p = 0, starP = -1, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == QLatin1Char('?')
                                   || pattern[p].toCaseFolded() == name[n].toCaseFolded())) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == QLatin1Char('*')) {
            starP = p++;
            starN = n;
        } else if (starP >= 0) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == QLatin1Char('*'))
        ++p;
    return p == pattern.size();
}

QStringList collectFolderFiles(const QString &root, const QString &pattern,
                               const std::function<void()> &keepAnswering)
{
    QStringList paths;
    // Level by level: each level's folders in order, their sub-folders making
    // the next level.
    QStringList level{root};
    QSet<std::pair<std::uint64_t, std::uint64_t>> walked;
    while (!level.isEmpty()) {
        QStringList next;
        for (const QString &folder : std::as_const(level)) {
            const FolderContents contents = listFolder(folder.toStdString());
            // A folder whose identity is unknown is walked: a loop is ruled out
            // anyway, as links to folders are never followed.
            if (contents.identity) {
                if (walked.contains(*contents.identity))
                    continue;
                walked.insert(*contents.identity);
            }
            for (const std::string &entry : contents.files) {
                const QString name = QString::fromStdString(entry);
                if (!name.startsWith(QLatin1Char('~')) && matchesWildcard(name, pattern))
                    paths << joinPath(folder, name);
            }
            for (const std::string &name : contents.folders)
                next << joinPath(folder, QString::fromStdString(name));
            if (keepAnswering)
                keepAnswering();
        }
        level = std::move(next);
    }
    return paths;
}
