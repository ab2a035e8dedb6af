// The Convert button: the command line, the launch and the wait, what the user
// is told; with a stand-in converter (the real-window test runs the real one).
#include "MainWindowFixture.h"
#include "ModalAnswer.h"

#include "ConverterCommand.h"
#include "ProcessLaunch.h"
#include "LaunchAndWait.h"
#include "ImageListModel.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QSignalSpy>
#include <QToolButton>

#include <csignal>
#include <unistd.h>

namespace {

const QString kFake = QStringLiteral(FAKE_CONVERTER);

QStringList entriesOf(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

// A program folder whose jpeg2swf is the stand-in.
struct ConvertFixture {
    ConvertFixture()
    {
        QFile::link(kFake, programFolder.filePath(converterFileName()));
        f = std::make_unique<MainWindowFixture>(programFolder.path());
        f->showLoaded();
        for (const char *name : {"FAKE_STATUS", "FAKE_STDERR", "FAKE_WAIT_FOR", "FAKE_REPORTS"})
            qunsetenv(name);
        qputenv("FAKE_RECORD", record().toLocal8Bit());
    }

    // The stand-in converter runs until release() is called.
    void holdConverter() { qputenv("FAKE_WAIT_FOR", work.filePath("release").toLocal8Bit()); }
    void release()
    {
        QFile file(work.filePath("release"));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }

    QString record() const { return work.filePath("record"); }
    QStringList recorded() const
    {
        QFile file(record());
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QStringList args = QString::fromUtf8(file.readAll()).split(QChar(0));
        args.removeLast();
        return args;
    }
    void convert() { f->window.findChild<QToolButton *>("convertButton")->click(); }
    QProgressBar *progress() { return f->window.findChild<QProgressBar *>("progressBar"); }
    QStringList messages() const
    {
        QStringList texts;
        for (const auto &m : f->dialogs.messages)
            texts << m.text;
        return texts;
    }

    QTemporaryDir programFolder;
    QTemporaryDir work;
    std::unique_ptr<MainWindowFixture> f;
};

} // namespace

class TestConvert : public QObject
{
    Q_OBJECT

private slots:
    void init() { clearSettings(); }

    void aStatusThatIsNotOursToReadIsUnknownNeverSuccess()
    {
        QCOMPARE(exitStatus(LaunchedProcess{::getppid(), 0, OwnedFile()}), kExitStatusUnknown);
    }

    void emptyListAndCancelledDialog()
    {
        ConvertFixture c;
        c.convert();
        QCOMPARE(c.messages(), QStringList({"No files added."}));
        QCOMPARE(c.f->dialogs.messages[0].icon, Dialogs::MessageIcon::None);
        QVERIFY(c.f->dialogs.asked.isEmpty());

        c.f->window.imageList().append(QStringLiteral("/p/a.jpg"));
        c.f->window.windowPointer().hover(WindowPointer::Shape::Custom);
        c.convert();   // the save dialog is cancelled
        QCOMPARE(c.f->dialogs.asked, QStringList({"Save Slide Show As (SWF file)|Shockwave Flash files (*.swf)||"
                                                  "Web page (*.html)|html"}));
        QCOMPARE(c.messages().size(), 1);
        QCOMPARE(c.f->window.windowPointer().shape(), WindowPointer::Shape::Custom);
        QCOMPARE(c.progress()->value(), 0);
        QVERIFY(c.recorded().isEmpty());
    }

    void aDelayThatIsNotAPositiveNumberStopsBeforeTheSaveDialog()
    {
        for (const char *delay : {"", "0", "-1", "abc"}) {
            ConvertFixture c;
            c.f->window.imageList().append(QStringLiteral("/p/a.jpg"));
            c.f->delayEdit()->setText(delay);
            c.convert();
            QCOMPARE(c.messages(), QStringList({"The delay must be a number of seconds greater than 0, such as 2 or 1.5."}));
            QVERIFY2(c.f->dialogs.asked.isEmpty(), delay);   // no save dialog: nothing run, nothing written
        }
    }

    void awkwardPathsReachTheConverterWhole()
    {
        ConvertFixture c;
        const QStringList paths{"/p/a.jpg", "/p/b c.jpg", "/p/quote\"d.jpg", "/p/new\nline.jpg", "-o", "--help",
                                "@list.jpg", "/p/Ünïcödé.jpg", "/p/a.jpg"};
        c.f->window.imageList().append(paths);
        c.f->delayEdit()->setText(" 1,5 ");   // sent as typed
        c.f->dialogs.saveAnswers = {"/out/-show.swf"};
        // Seen while the converter runs: busy pointer and a full bar.
        c.holdConverter();
        c.f->dialogs.onSave = [&] {
            QTimer::singleShot(0, [&] {
                QCOMPARE(c.f->window.windowPointer().shape(), WindowPointer::Shape::Busy);
                QCOMPARE(c.progress()->value(), 100);
                c.release();
            });
        };
        c.convert();
        QStringList sent = paths;
        sent.replace(4, "./-o");
        sent.replace(5, "./--help");
        sent.replace(6, "./@list.jpg");
        QCOMPARE(c.recorded(), QStringList({"-r", " 1,5 "}) + sent + QStringList({"-o", "/out/-show.swf"}));
        QCOMPARE(c.messages(), QStringList({"Done."}));
        QCOMPARE(c.f->window.windowPointer().shape(), WindowPointer::Shape::Default);
        QCOMPARE(c.progress()->value(), 0);
    }

    void failuresAreNeverReportedAsDone()
    {
        ConvertFixture c;
        c.f->window.imageList().append(QStringLiteral("/p/a.jpg"));
        c.f->dialogs.saveAnswers = {"/out/a.swf", "/out/b.swf", "/out/c.swf", "/out/d.swf"};

        qputenv("FAKE_STATUS", "1");
        qputenv("FAKE_STDERR", "jpeg2swf: /p/a.jpg: No such file or directory\njpeg2swf: nothing was written\n");
        c.convert();
        QCOMPARE(c.f->dialogs.messages.last().icon, Dialogs::MessageIcon::Warning);
        QVERIFY(c.messages().last().contains("jpeg2swf: /p/a.jpg: No such file or directory"));

        qputenv("FAKE_STDERR", QByteArray(5000, 'x'));
        c.convert();
        QVERIFY(c.messages().last().size() < 1500);   // trimmed to a readable length

        // Started by a launcher that left SIGCHLD ignored: the status is still read.
        struct sigaction ignore {}, before {};
        ignore.sa_handler = SIG_IGN;
        ::sigaction(SIGCHLD, &ignore, &before);
        c.convert();
        ::sigaction(SIGCHLD, &before, nullptr);
        QVERIFY(c.messages().last().startsWith("The conversion failed."));

        QFile::remove(c.programFolder.filePath(converterFileName()));
        c.convert();
        QVERIFY(c.messages().last().contains(c.programFolder.filePath("jpeg2swf")));
        QVERIFY(c.messages().last().contains("No such file or directory"));
        QCOMPARE(c.f->window.windowPointer().shape(), WindowPointer::Shape::Default);
        QCOMPARE(c.progress()->value(), 0);
        QVERIFY(!c.messages().contains("Done."));
    }

    void theBarFollowsTheConvertersReports()
    {
        ConvertFixture c;
        c.f->window.imageList().append(QStringLiteral("/p/a.jpg"));
        c.f->dialogs.saveAnswers = {"/out/a.swf"};
        c.holdConverter();
        qputenv("FAKE_REPORTS", "0 4;2 4;1 4|3 4;4 4");
        QSignalSpy values(c.progress(), &QProgressBar::valueChanged);
        c.f->dialogs.onSave = [&] {
            QTimer::singleShot(0, [&] {
                QTRY_COMPARE(c.progress()->value(), 50);   // while the converter runs
                c.release();
            });
        };
        c.convert();
        QCOMPARE(c.messages(), QStringList({"Done."}));
        QList<int> seen;
        for (const QList<QVariant> &value : std::as_const(values))
            seen << value[0].toInt();
        QCOMPARE(seen, QList<int>({100, 0, 50, 75, 100, 0}));   // built, then reported, never back
    }

    void convertDuringAWaitRunsACompleteNestedRun()
    {
        ConvertFixture c;
        c.f->window.imageList().append(QStringLiteral("/p/outer.jpg"));
        c.f->dialogs.saveAnswers = {"/out/outer.swf", "/out/inner.swf"};
        c.holdConverter();
        QStringList order;
        c.f->dialogs.onMessage = [&](const QString &text) { order << text; };
        bool nested = false;
        c.f->dialogs.onSave = [&] {
            if (nested)
                return;
            nested = true;
            // During the outer wait: change the list and press Convert again.
            QTimer::singleShot(0, [&] {
                c.f->window.imageList().append(QStringLiteral("/p/inner.jpg"));
                c.release();   // both converters may end now; the outer wait resumes only after this returns
                c.convert();
                order << QStringLiteral("inner returned");
                QCOMPARE(c.f->window.windowPointer().shape(), WindowPointer::Shape::Busy);   // the outer run goes on
            });
        };
        c.convert();
        QCOMPARE(order, QStringList({"Done.", "inner returned", "Done."}));
        QCOMPARE(c.f->window.windowPointer().shape(), WindowPointer::Shape::Default);
    }

    void closingDuringTheWaitLeavesTheConverterRunning()
    {
        ConvertFixture c;
        c.f->window.imageList().append(QStringLiteral("/p/a.jpg"));
        c.f->dialogs.saveAnswers = {"/out/a.swf"};
        c.holdConverter();
        QSignalSpy unloaded(&c.f->window, &MainWindow::closed);
        bool recordedWhenClosed = true;
        QObject::connect(&c.f->window, &MainWindow::closed, [&] { recordedWhenClosed = QFile::exists(c.record()); });
        c.f->dialogs.onSave = [&] {
            QTimer::singleShot(0, [&] {
                c.f->window.close();
                c.release();
            });
        };
        c.convert();
        QCOMPARE(unloaded.count(), 1);
        QVERIFY(!recordedWhenClosed);   // the window closed while the converter ran

        // And a program that ends inside the wait does not take the converter
        // with it, and leaves nothing behind.
        QFile::remove(c.record());
        QFile::remove(c.work.filePath("release"));
        QTemporaryDir temporaryFolder;
        QProcess waiter;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("TMPDIR", temporaryFolder.path());
        waiter.setProcessEnvironment(environment);
        waiter.start(QStringLiteral(CLOSE_DURING_WAIT), {kFake, "x.jpg"});
        QVERIFY(waiter.waitForFinished(10000));
        QCOMPARE(waiter.exitCode(), 0);
        QVERIFY(!QFile::exists(c.record()));
        QCOMPARE(entriesOf(temporaryFolder.path()), QStringList());
        c.release();
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(c.record()), 10000);
        QCOMPARE(c.recorded(), QStringList({"x.jpg"}));
    }

    void longListsGoThroughAListFileInTheSameOrder()
    {
        ConvertFixture c;
        QStringList paths;
        const QString longFolder = QStringLiteral("/pictures/") + QString(180, QLatin1Char('x'));
        for (int i = 0; i < 40000; ++i)
            paths << QStringLiteral("%1/%2.jpg").arg(longFolder).arg(39999 - i);
        c.f->window.imageList().append(paths);
        c.f->dialogs.saveAnswers = {"/out/long.swf", "/out/long2.swf"};
        // Nothing of ours in the temporary folder while the converter runs,
        // which is what a window closed then leaves behind.
        QTemporaryDir temporaryFolder;
        qputenv("TMPDIR", temporaryFolder.path().toLocal8Bit());
        c.holdConverter();
        c.f->dialogs.onSave = [&] {
            QTimer::singleShot(0, [&] {
                QCOMPARE(entriesOf(temporaryFolder.path()), QStringList());
                c.release();
            });
        };
        c.convert();
        c.f->dialogs.onSave = nullptr;
        qunsetenv("TMPDIR");
        QCOMPARE(c.messages(), QStringList({"Done."}));
        QCOMPARE(c.recorded(), QStringList({"-r", "1"}) + paths + QStringList({"-o", "/out/long.swf"}));
        QCOMPARE(entriesOf(temporaryFolder.path()), QStringList());

        // A line break cannot go into a list file: said plainly, nothing run.
        c.f->window.imageList().append(QStringLiteral("/p/new\nline.jpg"));
        QFile::remove(c.record());
        c.convert();
        QVERIFY(c.messages().last().contains("line break"));
        QVERIFY(!QFile::exists(c.record()));
    }

    void theRealSaveDialogAsksBeforeReplacing()
    {
        // A typed name keeps its form for SWF; the web page type adds its suffix.
        for (const auto &[type, saved] : {std::pair{0, "show"}, {1, "show.html"}}) {
            QTemporaryDir dir;
            QWidget owner;
            answerNextModal<QFileDialog>([&](QFileDialog *dialog) {
                QVERIFY(!dialog->testOption(QFileDialog::DontConfirmOverwrite));
                dialog->setDirectory(dir.path());
                for (int i = 0; i < type; ++i)   // as the user picks a type: by the keyboard
                    QTest::keyClick(dialog->findChild<QComboBox *>("fileTypeCombo"), Qt::Key_Down);
                dialog->findChild<QLineEdit *>("fileNameEdit")->setText("show");
                QMetaObject::invokeMethod(dialog, "accept");
            });
            QCOMPARE(QtDialogs().getSaveFileName(&owner, "Save Slide Show As (SWF file)",
                                                 {{"Shockwave Flash files (*.swf)", ""}, {"Web page (*.html)", "html"}}),
                     dir.filePath(saved));
        }
    }
};

PICTOREEL_TEST_MAIN(TestConvert)
#include "tst_convert.moc"
