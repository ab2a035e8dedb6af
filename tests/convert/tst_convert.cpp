// The Convert button: the command line, the launch and the wait, what the user
// is told; with a stand-in converter (the real-window test runs the real one).
#include "MainWindowFixture.h"
#include "ModalAnswer.h"

#include "ConversionRun.h"
#include "ConverterCommand.h"
#include "ProcessLaunch.h"
#include "ImageListModel.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QProcess>
#include <QProgressBar>
#include <QTextEdit>
#include <QToolButton>

#include <csignal>
#include <unistd.h>

namespace {

const QString kFake = QStringLiteral(FAKE_CONVERTER);
using Shape = WindowPointer::Shape;

// A program folder whose jpeg2swf is the stand-in (made before the window).
struct StandIn {
    StandIn() { QFile::link(kFake, program.filePath(converterFileName())); }
    QTemporaryDir program;
};

struct ConvertFixture : StandIn, MainWindowFixture {
    explicit ConvertFixture(const QStringList &pictures = {"/p/a.jpg"}) : MainWindowFixture(program.path())
    {
        showLoaded();
        window.imageList().append(pictures);
        for (const char *name : {"FAKE_STATUS", "FAKE_STDERR", "FAKE_WAIT_FOR", "FAKE_REPORTS"})
            qunsetenv(name);
        qputenv("FAKE_RECORD", record().toLocal8Bit());
    }

    // A run that ends before `during` could run fails here, in its own test.
    ~ConvertFixture()
    {
        if (duringPending)
            QFAIL("the conversion ended before the checks meant for its wait could run");
    }

    // The stand-in runs until `during` has been called inside the next wait.
    // The call is tied to the window: when a fault ends the run first, it is
    // dropped with the fixture, never left to run inside a later test.
    void whileRunning(const std::function<void()> &during)
    {
        qputenv("FAKE_WAIT_FOR", work.filePath("release").toLocal8Bit());
        duringPending = true;
        dialogs.onSave = [this, during] {
            QTimer::singleShot(0, &window, [this, during] {
                dialogs.onSave = nullptr;
                duringPending = false;
                during();
                release();
            });
        };
    }
    void release() { writeTestFile(work.filePath("release")); }

    QString record() const { return work.filePath("record"); }
    QStringList recorded() const   // each argument ends in a NUL byte
    {
        QFile file(record());
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).chopped(1).split(QChar(0)) : QStringList();
    }
    void convert() { window.findChild<QToolButton *>("convertButton")->click(); }
    int bar() { return window.findChild<QProgressBar *>("progressBar")->value(); }
    Shape shape() { return window.windowPointer().shape(); }

    QTemporaryDir work;
    bool duringPending = false;
};

} // namespace

class TestConvert : public QObject
{
    Q_OBJECT

private slots:
    void init() { clearSettings(); }

    void nothingRunsOrIsDoneUnlessTheConverterSucceeds()
    {
        ConvertFixture c{QStringList()};
        c.convert();
        QCOMPARE(c.dialogs.messages, QStringList({"No files added."}));
        QCOMPARE(c.dialogs.icons[0], Dialogs::MessageIcon::None);

        c.window.imageList().append(QStringLiteral("/p/a.jpg"));
        // Not a delay every output plays: stopped before the save dialog, nothing run.
        for (const char *delay : {"", "0", "-1", "abc", "0.0009", "1e9"}) {
            c.delayEdit()->setText(delay);
            c.convert();
            QCOMPARE(c.dialogs.messages.last(), QString("The delay must be a number of seconds from 0.001 seconds to "
                                                        "16,776,960 seconds (194 days), such as 2 or 1.5."));
        }
        QCOMPARE(c.dialogs.messages.size(), 7);
        QVERIFY(c.dialogs.asked.isEmpty());

        c.delayEdit()->setText("1");
        c.window.windowPointer().hover(Shape::Custom);
        c.convert();   // the save dialog is cancelled
        QCOMPARE(c.dialogs.asked, QStringList({"Save Slide Show As (SWF file)|Shockwave Flash files (*.swf)|swf|"
                                               "Web page (*.html)|html"}));
        QCOMPARE(c.dialogs.messages.size(), 7);
        QCOMPARE(c.shape(), Shape::Custom);
        QCOMPARE(c.bar(), 0);
        QVERIFY(c.recorded().isEmpty());

        c.dialogs.saveAnswers = {"/out/a.swf", "/out/b.swf", "/out/c.swf", "/out/d.swf"};
        qputenv("FAKE_STATUS", "1");
        qputenv("FAKE_STDERR", "jpeg2swf: /p/a.jpg: No such file or directory\njpeg2swf: nothing was written\n");
        c.convert();   // a bad picture: said, and offered for removal
        QCOMPARE(c.dialogs.icons.last(), Dialogs::MessageIcon::Warning);
        QCOMPARE(c.dialogs.messages.last(), QString("1 picture could not be used, so nothing was written."));
        QCOMPARE(c.dialogs.offered, QStringList({"jpeg2swf: /p/a.jpg: No such file or directory\njpeg2swf: nothing was written",
                                                 "Remove It from the List"}));

        qputenv("FAKE_STDERR", QByteArray(5000, 'x') + "\nend");
        c.convert();
        QVERIFY(c.dialogs.messages.last().endsWith("\nend"));   // whole: the box shows what does not fit in its details

        // Started by a launcher that left SIGCHLD ignored: the status is still read.
        struct sigaction ignore {}, before {};
        ignore.sa_handler = SIG_IGN;
        ::sigaction(SIGCHLD, &ignore, &before);
        c.convert();
        ::sigaction(SIGCHLD, &before, nullptr);
        QVERIFY(c.dialogs.messages.last().startsWith("The conversion failed."));
        // A status that is not ours to read is unknown, never success.
        QCOMPARE(exitStatus(LaunchedProcess{::getppid(), 0, OwnedFile()}), kExitStatusUnknown);

        QFile::remove(c.program.filePath(converterFileName()));
        c.convert();
        QVERIFY(c.dialogs.messages.last().contains(c.program.filePath("jpeg2swf")));
        QVERIFY(c.dialogs.messages.last().contains("No such file or directory"));
        QCOMPARE(c.shape(), Shape::Default);
        QCOMPARE(c.bar(), 0);
        QVERIFY(!c.dialogs.messages.contains("Done."));
    }

    void everyBadPictureIsToldAndCanBeRemovedInOneStep()
    {
        QStringList pictures, bad, said;
        for (int i = 1; i <= 150; ++i)
            pictures << QStringLiteral("/p/Day %1/IMG_%2.jpg").arg(i / 50 + 1).arg(i, 4, 10, QLatin1Char('0'));
        for (int i = 0; i < 150; i += 2)
            bad << pictures[i];
        bad << "/p/odd: name.jpg" << "-dash.jpg" << "/p/IMG_0002.jpg";   // 78 in all
        for (const QString &picture : bad)
            said << "jpeg2swf: " + QString(picture.startsWith('-') ? "./" : "") + picture + ": No such file or directory";
        said << "jpeg2swf: /out/a.swf: is a folder" << "jpeg2swf: nothing was written";
        // Twice in the list, and paths that only begin like a bad one: the output is no picture either.
        pictures << bad.mid(75) << pictures[0] << "/p/odd" << "/p/IMG_0002.jpg.bak" << "/out/a.swf";
        ConvertFixture c(pictures);
        qputenv("FAKE_STATUS", "1");
        qputenv("FAKE_STDERR", said.join('\n').toUtf8() + '\n');
        c.dialogs.saveAnswers = {"/out/a.swf", "/out/a.swf"};
        c.convert();   // declined: the list stays
        QCOMPARE(c.dialogs.messages, QStringList({"78 pictures could not be used, so nothing was written."}));
        QCOMPARE(c.dialogs.offered, QStringList({said.join('\n'), "Remove Them from the List"}));
        QCOMPARE(c.window.imageList().paths(), pictures);
        c.dialogs.acceptOffer = true;
        c.convert();
        QStringList kept = pictures;
        kept.removeIf([&](const QString &picture) { return bad.contains(picture); });
        QCOMPARE(c.window.imageList().paths(), kept);
        QCOMPARE(kept.size(), 75 + 3);
    }

    void awkwardPathsReachTheConverterWhole()
    {
        const QStringList paths{"/p/a.jpg", "/p/b c.jpg", "/p/quote\"d.jpg", "/p/new\nline.jpg", "-o", "--help",
                                "@list.jpg", "/p/Ünïcödé.jpg", "/p/a.jpg"};
        ConvertFixture c(paths);
        c.delayEdit()->setText(" 1,5 ");   // sent as typed
        c.dialogs.saveAnswers = {"/out/-show.swf"};
        c.whileRunning([&] {   // no reports: a busy pointer and a full bar
            QCOMPARE(c.shape(), Shape::Busy);
            QCOMPARE(c.bar(), 100);
        });
        c.convert();
        QStringList sent = paths;
        sent.replace(4, "./-o");
        sent.replace(5, "./--help");
        sent.replace(6, "./@list.jpg");
        QCOMPARE(c.recorded(), QStringList({"-r", " 1,5 "}) + sent + QStringList({"-o", "/out/-show.swf"}));
        QCOMPARE(c.dialogs.messages, QStringList({"Done."}));
        QCOMPARE(c.shape(), Shape::Default);
        QCOMPARE(c.bar(), 0);
    }

    void theBarFollowsTheConvertersReports()
    {
        ConvertFixture c;
        c.dialogs.saveAnswers = {"/out/a.swf"};
        qputenv("FAKE_REPORTS", "0 4;2 4;1 4|3 4;4 4");
        QList<int> seen;
        QObject::connect(c.window.findChild<QProgressBar *>(), &QProgressBar::valueChanged, [&](int value) { seen << value; });
        c.whileRunning([&] { QTRY_COMPARE(c.bar(), 50); });
        c.convert();
        QCOMPARE(c.dialogs.messages, QStringList({"Done."}));
        QCOMPARE(seen, QList<int>({100, 0, 50, 75, 100, 0}));   // built, then reported, never back
    }

    void convertDuringAWaitRunsACompleteNestedRun()
    {
        ConvertFixture c;
        c.dialogs.saveAnswers = {"/out/outer.swf", "/out/inner.swf"};
        c.whileRunning([&] {
            c.window.imageList().append(QStringLiteral("/p/inner.jpg"));
            c.release();   // both may end now; the outer wait resumes only after this returns
            c.convert();
            QCOMPARE(c.dialogs.messages, QStringList({"Done."}));
            QCOMPARE(c.shape(), Shape::Busy);   // the outer run goes on
        });
        c.convert();
        QCOMPARE(c.dialogs.messages, QStringList({"Done.", "Done."}));
        QCOMPARE(c.shape(), Shape::Default);
    }

    void closingDuringTheWaitLeavesTheConverterRunningAndNothingBehind()
    {
        ConvertFixture c;
        c.dialogs.saveAnswers = {"/out/a.swf"};
        bool recordedWhenClosed = true;
        QObject::connect(&c.window, &MainWindow::closed, [&] { recordedWhenClosed = QFile::exists(c.record()); });
        c.whileRunning([&] { c.window.close(); });
        c.convert();
        QVERIFY(!recordedWhenClosed);   // closed while the converter ran

        // A program that ends inside the wait leaves the converter running, the temporary folder empty.
        QFile::remove(c.record());
        QFile::remove(c.work.filePath("release"));
        QTemporaryDir temporaryFolder;
        qputenv("TMPDIR", temporaryFolder.path().toLocal8Bit());
        QCOMPARE(QProcess::execute(QStringLiteral(CLOSE_DURING_WAIT), {kFake, "x.jpg"}), 0);
        qunsetenv("TMPDIR");
        QVERIFY(!QFile::exists(c.record()));
        QVERIFY(QDir(temporaryFolder.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
        c.release();
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(c.record()), 10000);
        QCOMPARE(c.recorded(), QStringList({"x.jpg"}));
    }

    void longListsGoThroughAListFileInTheSameOrder()
    {
        QStringList paths;
        const QString longFolder = QStringLiteral("/pictures/") + QString(180, QLatin1Char('x'));
        for (int i = 0; i < 40000; ++i)
            paths << QStringLiteral("%1/%2.jpg").arg(longFolder).arg(39999 - i);
        ConvertFixture c(paths);
        c.dialogs.saveAnswers = {"/out/long.swf", "/out/long2.swf"};
        // Nothing of ours in the temporary folder while the converter runs (a window closed then leaves that).
        QTemporaryDir temporaryFolder;
        qputenv("TMPDIR", temporaryFolder.path().toLocal8Bit());
        const auto empty = [&] { return QDir(temporaryFolder.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot); };
        c.whileRunning([&] { QVERIFY(empty()); });
        c.convert();
        qunsetenv("TMPDIR");
        QCOMPARE(c.dialogs.messages, QStringList({"Done."}));
        QCOMPARE(c.recorded(), QStringList({"-r", "1"}) + paths + QStringList({"-o", "/out/long.swf"}));
        QVERIFY(empty());

        // A line break cannot go into a list file: said plainly, nothing run.
        c.window.imageList().append(QStringLiteral("/p/new\nline.jpg"));
        QFile::remove(c.record());
        c.convert();
        QVERIFY(c.dialogs.messages.last().contains("line break"));
        QVERIFY(!QFile::exists(c.record()));
    }

    void theRealConverterReadsTheListHandedOver()
    {
        // One picture under names long enough, and often enough, that the list
        // goes through a file: an inherited descriptor whose file has no name.
        QTemporaryDir work;
        QImage picture(64, 48, QImage::Format_RGB32);
        picture.fill(Qt::red);
        QVERIFY(picture.save(work.filePath("a.jpg"), "JPG"));
        QStringList pictures{work.path() + QStringLiteral("/.").repeated(100) + QStringLiteral("/a.jpg")};
        Command command;
        do {
            pictures += pictures;
            command = buildConverterCommand(JPEG2SWF_PATH, "1", pictures, work.filePath("show.swf"), {});
        } while (fitsOneLaunch(command.program.toStdString(), systemArguments(command)));
        const ConversionResult result = runConverter(command);
        QCOMPARE(result.message, QString("Done."));
        QVERIFY(QFileInfo(work.filePath("show.swf")).size() > pictures.size() * 100);
    }

    void theRealBoxesShowEveryLineAndOfferTheRemoval()
    {
        QStringList lines;
        for (int i = 1; i <= 83; ++i)
            lines << QStringLiteral("jpeg2swf: /p/IMG_%1.jpg: No such file or directory").arg(i);
        const QString words = lines.join('\n');
        QWidget owner;
        struct Seen { QString text, details; bool detailsOpen = false; };
        const auto answer = [](Seen &seen, const QString &press) {
            answerNextModal<QMessageBox>([&seen, press](QMessageBox *box) {
                auto *detailsPart = box->findChild<QTextEdit *>();
                seen = {box->text(), box->detailedText(), detailsPart && detailsPart->isVisible()};
                for (QAbstractButton *button : box->buttons())
                    if (button->text() == press || (press.isEmpty() && button == box->button(QMessageBox::Ok)))
                        button->click();
            });
        };
        // Too long for a box: its first paragraph, and the rest open in a part that scrolls.
        for (const QString &text : {QString("Done."), "The conversion failed.\n\n" + words}) {
            Seen seen;
            answer(seen, {});
            QtDialogs().message(&owner, text, Dialogs::MessageIcon::Warning);
            QCOMPARE(seen.text, text.section("\n\n", 0, 0));
            QCOMPARE(seen.details, text.section("\n\n", 1));
            QCOMPARE(seen.detailsOpen, text != "Done.");
        }
        // The offer is taken only by its own button.
        for (const QString press : {"Remove Them from the List", ""}) {
            Seen seen;
            answer(seen, press);
            QCOMPARE(QtDialogs().offer(&owner, "83 pictures could not be used.", words, "Remove Them from the List"),
                     !press.isEmpty());
            QCOMPARE(seen.details, words);
            QVERIFY(seen.detailsOpen);
        }
    }

    void theRealSaveDialogAsksAboutTheNameWritten()
    {
        // A name typed without a suffix gets the chosen type's, before the replace question.
        for (const auto &[type, saved] : {std::pair{0, "show.swf"}, {1, "show.html"}}) {
            QTemporaryDir dir;
            writeTestFile(dir.filePath(saved));
            QString asked;
            answerNextModal<QFileDialog>([&](QFileDialog *dialog) {
                dialog->setDirectory(dir.path());
                for (int i = 0; i < type; ++i)   // as the user picks a type: by the keyboard
                    QTest::keyClick(dialog->findChild<QComboBox *>("fileTypeCombo"), Qt::Key_Down);
                dialog->findChild<QLineEdit *>("fileNameEdit")->setText("show");
                answerNextModal<QMessageBox>([&](QMessageBox *box) { asked = box->text(); box->button(QMessageBox::Yes)->click(); });
                QMetaObject::invokeMethod(dialog, "accept");
            });
            QWidget owner;
            QCOMPARE(QtDialogs().getSaveFileName(&owner, "Save", {{"SWF (*.swf)", "swf"}, {"Web page (*.html)", "html"}}),
                     dir.filePath(saved));
            QVERIFY2(asked.contains(saved), qPrintable(asked));
        }
    }
};

PICTOREEL_TEST_MAIN(TestConvert)
#include "tst_convert.moc"
