// The two adding buttons of the main window, and Qt's real open dialog and input
// box (the real-window test drives the folder prompts).
#include "MainWindowFixture.h"
#include "ModalAnswer.h"

#include "ImageListModel.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QListView>
#include <QSignalSpy>
#include <QToolButton>

namespace {

void click(MainWindowFixture &f, const char *button)
{
    QTest::mouseClick(f.window.findChild<QToolButton *>(button), Qt::LeftButton);
}

} // namespace

class TestAdding : public QObject
{
    Q_OBJECT

private slots:
    void theRealOpenDialogOffersEveryJpegAndAddsTheSelection()
    {
        QTemporaryDir dir;
        for (const char *name : {"a.jpg", "b.jpeg", "C.JPG", "D.JPEG", "e.png", "f.jpg.txt"})
            writeTestFile(dir.filePath(name));
        QStringList offered;
        QString shownFilter;
        answerNextModal<QFileDialog>([&](QFileDialog *dialog) {
            shownFilter = dialog->findChild<QComboBox *>("fileTypeCombo")->currentText();
            dialog->setDirectory(dir.path());
            auto *list = dialog->findChild<QListView *>("listView");
            // The listing arrives from the file system model's own thread.
            const bool listed = QTest::qWaitFor([&] { return list->model()->rowCount(list->rootIndex()) >= 4; });
            for (int row = 0; row < list->model()->rowCount(list->rootIndex()); ++row)
                offered << list->model()->index(row, 0, list->rootIndex()).data().toString();
            // Two names typed into the name box, as a multi-selection shows them.
            dialog->findChild<QLineEdit *>("fileNameEdit")->setText(QStringLiteral("\"C.JPG\" \"a.jpg\""));
            QMetaObject::invokeMethod(dialog, "accept");
            if (!listed || dialog->isVisible())
                QMetaObject::invokeMethod(dialog, "reject");
        });
        QtDialogs real;
        MainWindowFixture f({}, &real);
        f.showLoaded();
        click(f, "addFilesButton");
        QStringList added = f.window.imageList().paths();
        offered.sort();
        added.sort();
        QCOMPARE(offered, QStringList({"C.JPG", "D.JPEG", "a.jpg", "b.jpeg"}));
        QCOMPARE(shownFilter, QStringLiteral("All JPEG (*.jpeg;*.jpg)"));
        QCOMPARE(added, QStringList({QDir::toNativeSeparators(dir.filePath("C.JPG")), QDir::toNativeSeparators(dir.filePath("a.jpg"))}));
    }

    void theFileDialogsOpenWhereTheUserLastWasAlsoAfterARestart()
    {
        clearSettings();
        QTemporaryDir pictures, shows;
        writeTestFile(pictures.filePath("a.jpg"));
        QWidget owner;
        QStringList openedIn;
        // Each call stands for a new start of the program: only the settings store remembers.
        const auto answer = [&](const QString &folder, const QString &name) {
            answerNextModal<QFileDialog>([&openedIn, folder, name](QFileDialog *dialog) {
                openedIn << dialog->directory().path();
                if (folder.isEmpty())
                    return dialog->reject();
                dialog->setDirectory(folder);
                dialog->findChild<QLineEdit *>("fileNameEdit")->setText(name);
                QMetaObject::invokeMethod(dialog, "accept");
            });
        };
        answer(pictures.path(), "a.jpg");
        QCOMPARE(QtDialogs(lastFolderInSettings()).getOpenFileNames(&owner, "Add", "JPEG (*.jpg)"),
                 QStringList(QDir::toNativeSeparators(pictures.filePath("a.jpg"))));
        answer(shows.path(), "");
        QCOMPARE(QtDialogs(lastFolderInSettings()).getExistingDirectory(&owner, "Folder"),
                 QDir::toNativeSeparators(shows.path()));
        answer(pictures.path(), "show");
        QCOMPARE(QtDialogs(lastFolderInSettings()).getSaveFileName(&owner, "Save", {{"SWF (*.swf)", "swf"}}),
                 QDir::toNativeSeparators(pictures.filePath("show.swf")));
        answer("", "");
        QVERIFY(QtDialogs(lastFolderInSettings()).getOpenFileNames(&owner, "Add", "JPEG (*.jpg)").isEmpty());
        QCOMPARE(openedIn.mid(1), QStringList({pictures.path(), shows.path(), pictures.path()}));
        QCOMPARE(readSetting(kSettingsApp, kSettingsSection, kLastFolderKey, {}), QDir::toNativeSeparators(pictures.path()));
    }

    void addFolderWalksTheTreeBehindTheBusyPointer()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath("sub"));
        writeTestFile(dir.filePath("a.jpg"));
        writeTestFile(dir.filePath("sub/b.JPG"));

        MainWindowFixture f;
        f.window.setEventInterval(0);   // let the window answer after every folder
        f.showLoaded();
        f.window.imageList().append(QStringLiteral("/existing.jpg"));
        // A typed "*." or "." adds what the bare extension adds; no match is said.
        f.dialogs.textAnswers = {"jpg", "*.jpg", ".jpg", "png"};
        const QString folder = QDir::toNativeSeparators(dir.path());   // as the folder dialog gives it
        f.dialogs.folderAnswers = {folder, folder + QDir::separator(), folder, folder};

        QList<WindowPointer::Shape> during;
        QTimer::singleShot(0, [&] { during << f.window.windowPointer().shape(); });
        for (int i = 0; i < 4; ++i)
            click(f, "addFolderButton");   // the same folder again: every file again
        QCOMPARE(during, QList<WindowPointer::Shape>({WindowPointer::Shape::Busy}));
        QCOMPARE(f.window.windowPointer().shape(), WindowPointer::Shape::Default);
        const QStringList once{QDir::toNativeSeparators(dir.filePath("a.jpg")), QDir::toNativeSeparators(dir.filePath("sub/b.JPG"))};
        QCOMPARE(f.window.imageList().paths(), QStringList{"/existing.jpg"} + once + once + once);
        QCOMPARE(f.dialogs.messages,
                 QStringList(QStringLiteral("No files matching *.png were found in %1 or the folders below it.").arg(folder)));
    }

    void cancelledFolderPromptsAddNothingAndChosenFilesAreAppendedInOrder()
    {
        MainWindowFixture f;
        f.showLoaded();
        f.window.windowPointer().hover(WindowPointer::Shape::Custom);
        f.dialogs.textAnswers = {"", "jpg"};
        f.dialogs.folderAnswers = {""};
        QSignalSpy closed(&f.window, &MainWindow::closed);   // nothing may end the program either
        click(f, "addFolderButton");   // prompt cancelled: no folder dialog
        QCOMPARE(f.dialogs.asked.size(), 1);
        click(f, "addFolderButton");   // folder dialog cancelled
        QCOMPARE(f.dialogs.asked.size(), 3);
        QCOMPARE(f.window.imageList().count(), 0);
        QCOMPARE(f.window.windowPointer().shape(), WindowPointer::Shape::Custom);   // never busy
        QCOMPARE(closed.count(), 0);

        f.window.imageList().append(QStringLiteral("/existing.jpg"));
        f.dialogs.openAnswers = {{"/p/b.jpg", "/p/a.JPG", "/p/b.jpg"}, {}, {"/q/typed-but-missing.jpg"}};
        for (int i = 0; i < 3; ++i)   // the second is cancelled
            click(f, "addFilesButton");
        QCOMPARE(f.window.imageList().paths(), QStringList({"/existing.jpg", "/p/b.jpg", "/p/a.JPG", "/p/b.jpg",
                                                          "/q/typed-but-missing.jpg"}));
        QVERIFY(f.dialogs.messages.isEmpty());

        answerNextModal<QInputDialog>([](QInputDialog *box) { box->reject(); });   // Qt's box answers nothing too
        QCOMPARE(QtDialogs().getText(&f.window, "Enter file extension to load:", "jpg"), QString());
    }
};

PICTOREEL_TEST_MAIN(TestAdding)
#include "tst_adding.moc"
