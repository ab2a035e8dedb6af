// The folder walk on real folder trees: order, names, hidden entries, links,
// folders that vanish.
#include "TestMain.h"

#include "FolderWalk.h"
#include "FolderListing.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>

namespace {

QStringList subFoldersInListingOrder(const QString &folder)
{
    return QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Unsorted);
}

QStringList walk(const QString &root, const QString &pattern = QStringLiteral("*.jpg"),
                 const std::function<void()> &between = {})
{
    return collectFolderFiles(root, pattern, between);
}

} // namespace

class TestAddFolder : public QObject
{
    Q_OBJECT

private slots:
    void joiningFoldsDoubledSeparatorsOnce()
    {
        for (const auto &[folder, name, joined] : {std::tuple{"/", "a.jpg", "/a.jpg"}, {"/p", "a.jpg", "/p/a.jpg"},
                                                   {"/p/", "a.jpg", "/p/a.jpg"}, {"/a///b", "c", "/a//b/c"},
                                                   {"//server/share", "c", "/server/share/c"}})
            QCOMPARE(joinPath(folder, name), QString(joined));
    }

    void wildcardsIgnoreLetterCase()
    {
        for (const auto &[name, pattern, matches] :
             {std::tuple{"a.jpg", "*.jpg", true}, {"IMG_0001.JPG", "*.jpg", true}, {"b.jpeg", "*.jpg", false},
              {"b.jpeg", "*.jp*", true}, {"a.jpg.txt", "*.jpg", false}, {"x.jpg", "?.jpg", true},
              {"xy.jpg", "?.jpg", false}, {".jpg", "*.jpg", true}, {"jpg", "*.jpg", false},
              {"Ünïcödé.JPG", "*.jpg", true}, {"a.jpg.jpg", "*.jpg", true}})
            QVERIFY2(matchesWildcard(name, pattern) == matches, name);
    }

    void foldersAreWalkedInLevelOrder()
    {
        QTemporaryDir dir;
        const QString r = dir.filePath("R");
        for (const char *folder : {"R", "R/B", "R/A", "R/B/B1", "R/A/A1"})
            QVERIFY(QDir(dir.path()).mkpath(folder));
        writeTestFile(r + "/x.jpg");
        for (const char *file : {"R/B/b.jpg", "R/A/a.jpg", "R/B/B1/b1.jpg", "R/A/A1/a1.jpg"})
            writeTestFile(dir.filePath(file));

        // Level order, each level in the file system's own listing order.
        QStringList expected{r + "/x.jpg"};
        QStringList depth2;
        for (const QString &sub : subFoldersInListingOrder(r)) {
            expected << r + "/" + sub + "/" + sub.toLower() + ".jpg";
            for (const QString &subsub : subFoldersInListingOrder(r + "/" + sub))
                depth2 << r + "/" + sub + "/" + subsub + "/" + subsub.toLower() + ".jpg";
        }
        QCOMPARE(walk(r), expected + depth2);
    }

    void namesHiddenEntriesAndFoldersNamedLikePictures()
    {
        QTemporaryDir dir;
        QDir root(dir.path());
        for (const char *folder : {".hidden", "x.jpg", "x.jpg/inner", "sub"})
            QVERIFY(root.mkpath(folder));
        for (const char *file : {"~a.jpg", "a~b.jpg", ".dotfile.jpg", "A.JPG", "b.jpeg", ".hidden/h.jpg",
                                 "x.jpg/inner/in.jpg", "sub/~c.jpg", "sub/c.jpg"})
            writeTestFile(dir.filePath(file));

        QStringList found = walk(dir.path());
        found.sort();
        QStringList expected{dir.filePath(".dotfile.jpg"), dir.filePath("A.JPG"), dir.filePath("a~b.jpg"),
                             dir.filePath("sub/c.jpg"), dir.filePath("x.jpg/inner/in.jpg")};
        expected.sort();
        QCOMPARE(found, expected);

        QStringList wild = walk(dir.path(), "*.jp*");
        QVERIFY(wild.contains(dir.filePath("b.jpeg")));
    }

    void filesAreCountedToTheLast()
    {
        QTemporaryDir dir;
        writeTestFile(dir.filePath("other.png"));
        int made = 0;
        for (int count : {0, 100, 101, 150}) {
            for (; made < count; ++made)
                writeTestFile(dir.filePath(QStringLiteral("%1.jpg").arg(made)));
            QStringList listed;
            for (const QString &name : QDir(dir.path()).entryList({"*.jpg"}, QDir::Files, QDir::Unsorted))
                listed << dir.filePath(name);
            QCOMPARE(walk(dir.path()), listed);
        }
    }

    void linksToFoldersAreNotFollowed()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath("a/b"));
        writeTestFile(dir.filePath("a/b/p.jpg"));
        QVERIFY(QFile::link(dir.filePath("a"), dir.filePath("a/b/loop")));      // a circle
        QVERIFY(QFile::link(dir.filePath("a/b/p.jpg"), dir.filePath("a/link.jpg")));
        QVERIFY(QFile::link(dir.filePath("gone.jpg"), dir.filePath("a/dangling.jpg")));

        QStringList found = walk(dir.path());
        found.sort();
        QCOMPARE(found, QStringList({dir.filePath("a/b/p.jpg"), dir.filePath("a/dangling.jpg"),
                                     dir.filePath("a/link.jpg")}));
        // A folder is known by what it is, not by the path that reached it.
        QCOMPARE(listFolder(dir.filePath("a/b/loop").toStdString()).identity, listFolder(dir.filePath("a").toStdString()).identity);
        QVERIFY(listFolder(dir.filePath("a/b").toStdString()).identity != listFolder(dir.filePath("a").toStdString()).identity);
    }

    void aFolderMountedInsideItselfIsWalkedOnce()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath("a/inside"));
        writeTestFile(dir.filePath("a/p.jpg"));
        const QString inside = dir.filePath("a/inside");
        if (QProcess::execute("mount", {"--bind", dir.filePath("a"), inside}) != 0)
            QSKIP("mount --bind is not permitted here (it needs root): the bind-mount case is skipped");
        const auto unmount = qScopeGuard([&] { QProcess::execute("umount", {inside}); });
        QCOMPARE(walk(dir.filePath("a")), QStringList({dir.filePath("a/p.jpg")}));
    }

    void aFolderThatVanishesIsSkipped()
    {
        QTemporaryDir dir;
        for (const char *folder : {"one", "two", "three"})
            QVERIFY(QDir(dir.path()).mkpath(folder));
        for (const char *file : {"one/1.jpg", "two/2.jpg", "three/3.jpg"})
            writeTestFile(dir.filePath(file));

        // The first folder listed is the root; remove "two" as soon as its
        // level is known, before it is read.
        bool removed = false;
        const QStringList found = walk(dir.path(), "*.jpg", [&] {
            if (!removed)
                removed = QDir(dir.filePath("two")).removeRecursively();
        });
        QVERIFY(removed);
        QVERIFY(!found.contains(dir.filePath("two/2.jpg")));
        QVERIFY(found.contains(dir.filePath("one/1.jpg")));
        QVERIFY(found.contains(dir.filePath("three/3.jpg")));
        QVERIFY(walk(dir.filePath("no such folder")).isEmpty());
    }
};

PICTOREEL_TEST_MAIN(TestAddFolder)
#include "tst_addfolder.moc"
