// The two adding buttons of the main window through scripted dialogs, and the
// real open dialog (the real-window test drives the folder prompts).
#include "Form1Fixture.h"
#include "ModalAnswer.h"

#include "imagelist/ImageListModel.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QListView>
#include <QSignalSpy>
#include <QToolButton>

namespace {

void click(Form1Fixture &f, const char *button)
{
    QTest::mouseClick(f.form.findChild<QToolButton *>(button), Qt::LeftButton);
}

} // namespace

class TestAdding : public QObject
{
    Q_OBJECT

private slots:
    void addFilesAppendsTheChosenFilesInOrder()
    {
        Form1Fixture f;
        f.showLoaded();
        f.form.imageList().append(QStringLiteral("/existing.jpg"));
        f.dialogs.openAnswers = {{"/p/b.jpg", "/p/a.JPG", "/p/b.jpg"}, {}, {"/q/typed-but-missing.jpg"}};
        click(f, "Check1");
        click(f, "Check1");   // cancelled
        click(f, "Check1");
        QCOMPARE(f.form.imageList().paths(), QStringList({"/existing.jpg", "/p/b.jpg", "/p/a.JPG", "/p/b.jpg",
                                                          "/q/typed-but-missing.jpg"}));
        QCOMPARE(f.dialogs.asked.first(), QStringLiteral("Add File(s) - Hold Ctrl or Shift to select multiple files|"
                                                         "All JPEG (*.jpeg;*.jpg) (*.jpeg *.jpg *.JPEG *.JPG)"));
        QVERIFY(f.dialogs.messages.isEmpty());
    }

    void theRealOpenDialogOffersEveryJpegAndReturnsTheSelection()
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
            for (int row = 0; row < list->model()->rowCount(list->rootIndex()); ++row) {
                const QModelIndex index = list->model()->index(row, 0, list->rootIndex());
                offered << index.data().toString();
            }
            // Two names typed into the name box, as a multi-selection shows them.
            dialog->findChild<QLineEdit *>("fileNameEdit")->setText(QStringLiteral("\"C.JPG\" \"a.jpg\""));
            QMetaObject::invokeMethod(dialog, "accept");
            if (!listed || dialog->isVisible())
                QMetaObject::invokeMethod(dialog, "reject");
        });

        Form1Fixture f;
        QStringList chosen = QtDialogs().getOpenFileNames(&f.form, "Add File(s) - Hold Ctrl or Shift to select multiple files",
                                                          "All JPEG (*.jpeg;*.jpg) (*.jpeg *.jpg *.JPEG *.JPG)");
        offered.sort();
        chosen.sort();
        QCOMPARE(offered, QStringList({"C.JPG", "D.JPEG", "a.jpg", "b.jpeg"}));
        QCOMPARE(shownFilter, QStringLiteral("All JPEG (*.jpeg;*.jpg)"));
        QCOMPARE(chosen, QStringList({QDir::toNativeSeparators(dir.filePath("C.JPG")),
                                      QDir::toNativeSeparators(dir.filePath("a.jpg"))}));
    }

    void addFolderWalksTheTreeBehindTheBusyPointer()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath("sub"));
        writeTestFile(dir.filePath("a.jpg"));
        writeTestFile(dir.filePath("sub/b.JPG"));
        writeTestFile(dir.filePath("sub/~skip.jpg"));

        Form1Fixture f;
        f.form.setEventInterval(0);   // let the window answer after every folder
        f.showLoaded();
        f.form.imageList().append(QStringLiteral("/existing.jpg"));
        // A typed "*." or "." adds what the bare extension adds; no match is said.
        f.dialogs.textAnswers = {"jpg", "*.jpg", ".jpg", "png"};
        f.dialogs.folderAnswers = {dir.path(), dir.path() + "/", dir.path(), dir.path()};

        QList<WindowPointer::Shape> during;
        QTimer::singleShot(0, [&] { during << f.form.windowPointer().shape(); });
        for (int i = 0; i < 4; ++i)
            click(f, "Check3");   // the same folder again: every file again
        QCOMPARE(during, QList<WindowPointer::Shape>({WindowPointer::Shape::Busy}));
        QCOMPARE(f.form.windowPointer().shape(), WindowPointer::Shape::Default);
        const QStringList once{dir.filePath("a.jpg"), dir.filePath("sub/b.JPG")};
        QCOMPARE(f.form.imageList().paths(), QStringList{"/existing.jpg"} + once + once + once);
        QCOMPARE(f.dialogs.asked.mid(0, 2), QStringList({"Enter file extension to load:|jpg", "Please select folder to add:"}));
        QCOMPARE(f.dialogs.messages.size(), 1);
        QCOMPARE(f.dialogs.messages[0].text,
                 QStringLiteral("No files matching *.png were found in %1 or the folders below it.").arg(dir.path()));
    }

    void cancellingEitherPromptAddsNothing()
    {
        Form1Fixture f;
        f.showLoaded();
        f.form.windowPointer().hover(WindowPointer::Shape::Custom);
        f.dialogs.textAnswers = {"", "jpg"};
        f.dialogs.folderAnswers = {""};
        QSignalSpy unloaded(&f.form, &Form1::unloaded);   // nothing may end the program either
        click(f, "Check3");   // prompt cancelled: no folder dialog
        QCOMPARE(f.dialogs.asked.size(), 1);
        click(f, "Check3");   // folder dialog cancelled
        QCOMPARE(f.dialogs.asked.size(), 3);
        QCOMPARE(f.form.imageList().count(), 0);
        QCOMPARE(f.form.windowPointer().shape(), WindowPointer::Shape::Custom);   // never busy
        QCOMPARE(unloaded.count(), 0);
    }

    void cancellingTheRealInputBoxAnswersNothing()
    {
        answerNextModal<QInputDialog>([](QInputDialog *box) { box->reject(); });
        QWidget owner;
        QCOMPARE(QtDialogs().getText(&owner, "Enter file extension to load:", "jpg"), QString());
    }
};

PICTOREEL_TEST_MAIN(TestAdding)
#include "tst_adding.moc"
