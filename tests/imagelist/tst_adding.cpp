// The two adding buttons of the main window: through scripted dialogs for
// every answer, and through Qt's real dialogs once each.
#include "Form1Fixture.h"
#include "ModalAnswer.h"

#include "imagelist/ImageListModel.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QListView>
#include <QSignalSpy>
#include <QToolButton>

namespace {

void touch(const QString &path)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
}

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
            touch(dir.filePath(name));
        QStringList offered;
        QString shownFilter, title;
        answerNextModal<QFileDialog>([&](QFileDialog *dialog) {
            title = dialog->windowTitle();
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
        QtDialogs real;
        const QStringList chosen = real.getOpenFileNames(&f.form, "Add File(s) - Hold Ctrl or Shift to select multiple files",
                                                         "All JPEG (*.jpeg;*.jpg) (*.jpeg *.jpg *.JPEG *.JPG)");
        offered.sort();
        QCOMPARE(offered, QStringList({"C.JPG", "D.JPEG", "a.jpg", "b.jpeg"}));
        QCOMPARE(shownFilter, QStringLiteral("All JPEG (*.jpeg;*.jpg)"));
        QCOMPARE(title, QStringLiteral("Add File(s) - Hold Ctrl or Shift to select multiple files"));
        QCOMPARE(chosen.size(), 2);
        QVERIFY(chosen.contains(QDir::toNativeSeparators(dir.filePath("a.jpg"))));
        QVERIFY(chosen.contains(QDir::toNativeSeparators(dir.filePath("C.JPG"))));
    }

    void addFolderWalksTheTreeBehindTheBusyPointer()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath("sub"));
        touch(dir.filePath("a.jpg"));
        touch(dir.filePath("sub/b.JPG"));
        touch(dir.filePath("sub/~skip.jpg"));

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
        f.form.findChild<QToolButton *>("Check3")->click();   // prompt cancelled: no folder dialog
        QCOMPARE(f.dialogs.asked.size(), 1);
        f.form.findChild<QToolButton *>("Check3")->click();   // folder dialog cancelled
        QCOMPARE(f.dialogs.asked.size(), 3);
        QCOMPARE(f.form.imageList().count(), 0);
        QCOMPARE(f.form.windowPointer().shape(), WindowPointer::Shape::Custom);   // never busy
        QCOMPARE(unloaded.count(), 0);
    }

    void theRealInputBoxAndFolderDialog()
    {
        QtDialogs real;
        QWidget owner;
        answerNextModal<QInputDialog>([](QInputDialog *box) {
            QCOMPARE(box->windowTitle(), QStringLiteral("Pictoreel"));
            QCOMPARE(box->labelText(), QStringLiteral("Enter file extension to load:"));
            QCOMPARE(box->textValue(), QStringLiteral("jpg"));
            box->setTextValue("jp*");
            box->accept();
        });
        QCOMPARE(real.getText(&owner, "Enter file extension to load:", "jpg"), QStringLiteral("jp*"));

        answerNextModal<QInputDialog>([](QInputDialog *box) { box->reject(); });
        QCOMPARE(real.getText(&owner, "Enter file extension to load:", "jpg"), QString());

        QTemporaryDir dir;
        answerNextModal<QFileDialog>([&](QFileDialog *dialog) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Please select folder to add:"));
            QCOMPARE(dialog->fileMode(), QFileDialog::Directory);
            dialog->setDirectory(dir.path());
            QMetaObject::invokeMethod(dialog, "accept");
        });
        QCOMPARE(real.getExistingDirectory(&owner, "Please select folder to add:"), QDir::toNativeSeparators(dir.path()));

        answerNextModal<QFileDialog>([](QFileDialog *dialog) { dialog->reject(); });
        QCOMPARE(real.getExistingDirectory(&owner, "Please select folder to add:"), QString());
    }
};

PICTOREEL_TEST_MAIN(TestAdding)
#include "tst_adding.moc"
