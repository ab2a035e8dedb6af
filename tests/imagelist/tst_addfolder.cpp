// The folder walk on real folder trees: order, names, hidden entries, links,
// folders that vanish.
#include "TestMain.h"

#include "FolderWalk.h"
#include "FolderListing.h"

#include <QDir>
#include <QProcess>
#include <QScopeGuard>

namespace {

// Makes the files (and the folders they need) in dir; a name ending in '/' is a folder.
void makeTree(const QTemporaryDir &dir, std::initializer_list<const char *> names)
{
    for (const QString name : names) {
        QVERIFY(QDir(dir.path()).mkpath(name.endsWith('/') ? name : QFileInfo(name).path()));
        if (!name.endsWith('/'))
            writeTestFile(dir.filePath(name));
    }
}

const auto sorted = [](QStringList list) { list.sort(); return list; };

// A path in dir as the system writes it, as the folder dialog gives it.
QString native(const QTemporaryDir &dir, const QString &name = {})
{
    return QDir::toNativeSeparators(name.isEmpty() ? dir.path() : dir.filePath(name));
}

} // namespace

class TestAddFolder : public QObject
{
    Q_OBJECT

private slots:
    void joiningFoldsDoubledSeparatorsOnce()
    {
        const char *network = QDir::separator() == '\\' ? "//server/share/c" : "/server/share/c";   // Windows keeps its pair
        for (const auto &[folder, name, joined] : {std::tuple{"/", "a.jpg", "/a.jpg"}, {"/p", "a.jpg", "/p/a.jpg"},
                                                   {"/p/", "a.jpg", "/p/a.jpg"}, {"/a///b", "c", "/a//b/c"},
                                                   {"//server/share", "c", network}})
            QCOMPARE(joinPath(QDir::toNativeSeparators(folder), name), QDir::toNativeSeparators(joined));
    }

    void wildcardsIgnoreLetterCase()
    {
        for (const auto &[name, pattern, matches] :
             {std::tuple{"IMG_0001.JPG", "*.jpg", true}, {"b.jpeg", "*.jpg", false}, {"b.jpeg", "*.jp*", true},
              {"a.jpg.txt", "*.jpg", false}, {"x.jpg", "?.jpg", true}, {"xy.jpg", "?.jpg", false},
              {".jpg", "*.jpg", true}, {"jpg", "*.jpg", false}, {"Ünïcödé.JPG", "*.jpg", true},
              {"a.jpg.jpg", "*.jpg", true}})
            QVERIFY2(matchesWildcard(name, pattern) == matches, name);
    }

    void foldersAreWalkedInLevelOrderEachInNameOrder()
    {
        QTemporaryDir dir;
        makeTree(dir, {"x.jpg", "Day 10/b.jpg", "Day 2/IMG_10.jpg", "Day 2/img_11.jpg", "Day 2/IMG_9.jpg",
                       "Day 10/B1/b1.jpg", "Day 2/A1/a1.jpg", "Day 2/a0/a0.jpg"});
        const QStringList expected{"x.jpg", "Day 2/IMG_9.jpg", "Day 2/IMG_10.jpg", "Day 2/img_11.jpg", "Day 10/b.jpg",
                                   "Day 2/a0/a0.jpg", "Day 2/A1/a1.jpg", "Day 10/B1/b1.jpg"};
        QStringList found = collectFolderFiles(native(dir), "*.jpg", {});
        found.replaceInStrings(native(dir) + QDir::separator(), "");
        found.replaceInStrings(QString(QDir::separator()), "/");
        QCOMPARE(found, expected);
    }

    void namesHiddenEntriesAndFoldersNamedLikePictures()
    {
        QTemporaryDir dir;
        makeTree(dir, {"~a.jpg", "a~b.jpg", ".dotfile.jpg", "A.JPG", "b.jpeg", ".hidden/h.jpg", "x.jpg/inner/in.jpg",
                       "sub/~c.jpg", "sub/c.jpg"});
        QCOMPARE(sorted(collectFolderFiles(native(dir), "*.jpg", {})),
                 QStringList({native(dir, ".dotfile.jpg"), native(dir, "A.JPG"), native(dir, "a~b.jpg"),
                              native(dir, "sub/c.jpg"), native(dir, "x.jpg/inner/in.jpg")}));
        QVERIFY(collectFolderFiles(native(dir), "*.jp*", {}).contains(native(dir, "b.jpeg")));
    }

    void aFolderIsWalkedOnceHoweverItIsReached()
    {
#ifdef Q_OS_WIN
        QSKIP("QFile::link makes shortcut files on Windows: the platform tests try its links to folders");
#endif
        QTemporaryDir dir;
        makeTree(dir, {"a/b/p.jpg"});
        QVERIFY(QFile::link(dir.filePath("a"), dir.filePath("a/b/loop")));   // a circle
        QVERIFY(QFile::link(dir.filePath("a/b/p.jpg"), dir.filePath("a/link.jpg")));
        QVERIFY(QFile::link(dir.filePath("gone.jpg"), dir.filePath("a/dangling.jpg")));
        const QStringList once{dir.filePath("a/b/p.jpg"), dir.filePath("a/dangling.jpg"), dir.filePath("a/link.jpg")};
        QCOMPARE(sorted(collectFolderFiles(dir.path(), "*.jpg", {})), once);
        // A folder is known by what it is, not by the path that reached it.
        const auto identity = [&](const char *folder) { return listFolder(dir.filePath(folder).toStdString()).identity; };
        QVERIFY(identity("a") && identity("a/b/loop") == identity("a"));
        QVERIFY(identity("a/b") != identity("a"));

        // A folder mounted inside itself is walked once.
        makeTree(dir, {"a/inside/"});
        const QString inside = dir.filePath("a/inside");
        if (QProcess::execute("mount", {"--bind", dir.filePath("a"), inside}) != 0)
            QSKIP("mount --bind is not permitted here (it needs root)");
        const auto unmount = qScopeGuard([&] { QProcess::execute("umount", {inside}); });
        QCOMPARE(sorted(collectFolderFiles(dir.filePath("a"), "*.jpg", {})), once);
    }

    void aFolderThatVanishesIsSkipped()
    {
        QTemporaryDir dir;
        makeTree(dir, {"one/1.jpg", "two/2.jpg", "three/3.jpg"});
        // The first folder listed is the root; "two" goes once its level is known.
        bool removed = false;
        const QStringList found = collectFolderFiles(native(dir), "*.jpg", [&] {
            removed = removed || QDir(dir.filePath("two")).removeRecursively();
        });
        QVERIFY(removed);
        QCOMPARE(sorted(found), QStringList({native(dir, "one/1.jpg"), native(dir, "three/3.jpg")}));
        QVERIFY(collectFolderFiles(dir.filePath("no such folder"), "*.jpg", {}).isEmpty());
    }
};

PICTOREEL_TEST_MAIN(TestAddFolder)
#include "tst_addfolder.moc"
