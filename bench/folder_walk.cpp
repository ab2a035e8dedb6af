// Adding a folder tree by extension against find(1) on the same tree:
// 100,000 files in 10,000 folders, a tenth of them matching.
//   QT_QPA_PLATFORM=offscreen folder_walk [TREE]   (the tree is made when missing)
#include "FolderWalk.h"
#include "ImageListModel.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <cstdio>

namespace {

void makeTree(const QString &root)
{
    for (int top = 0; top < 100; ++top)
        for (int sub = 0; sub < 100; ++sub) {
            const QString folder = QStringLiteral("%1/d%2/s%3").arg(root).arg(top).arg(sub);
            QDir().mkpath(folder);
            for (int f = 0; f < 10; ++f) {
                const QString name = f == 0 ? QStringLiteral("IMG_%1.JPG").arg(sub) : QStringLiteral("note%1.txt").arg(f);
                QFile(folder + QLatin1Char('/') + name).open(QIODevice::WriteOnly);
            }
        }
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QString root = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::tempPath() + QStringLiteral("/pictoreel-walk-tree");
    if (!QDir(root).exists())
        makeTree(root);

    qint64 ours = -1, find = -1;
    qsizetype found = 0, foundByFind = 0;
    for (int run = 0; run < 3; ++run) {
        QElapsedTimer timer;
        timer.start();
        ImageListModel model;
        QElapsedTimer sinceEvents;
        sinceEvents.start();
        model.append(collectFolderFiles(root, QStringLiteral("*.jpg"), [&] {
            if (sinceEvents.elapsed() >= 30) {
                QCoreApplication::processEvents();
                sinceEvents.restart();
            }
        }));
        const qint64 elapsed = timer.elapsed();
        ours = ours < 0 ? elapsed : qMin(ours, elapsed);
        found = model.count();

        QProcess process;
        timer.restart();
        process.start(QStringLiteral("find"), {root, QStringLiteral("-iname"), QStringLiteral("*.jpg")});
        process.waitForFinished(-1);
        const qint64 findElapsed = timer.elapsed();
        find = find < 0 ? findElapsed : qMin(find, findElapsed);
        foundByFind = process.readAllStandardOutput().count('\n');
    }
    std::printf("add folder tree (%lld files found): %lld ms\n", static_cast<long long>(found), static_cast<long long>(ours));
    std::printf("find -iname '*.jpg' (%lld files):   %lld ms\n", static_cast<long long>(foundByFind), static_cast<long long>(find));
    std::printf("ratio: %.2f (target <= 1.5)\n", double(ours) / double(qMax<qint64>(find, 1)));
    return 0;
}
