// The delay box: every change stored at once, the warning when it is left
// holding something that is not a number.
#include "Form1Fixture.h"

#include "convert/DelayCheck.h"
#include "imagelist/ImageListModel.h"

#include <QFile>
#include <QMessageBox>
#include <QMimeData>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>

class TestDelay : public QObject
{
    Q_OBJECT

private slots:
    void init() { clearSettings(); }

    void readingFollowsTheSharedTable_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        QFile table(QStringLiteral(DELAY_FORMS));
        QVERIFY(table.open(QIODevice::ReadOnly | QIODevice::Text));
        for (const QString &line : QString::fromUtf8(table.readAll()).split('\n', Qt::SkipEmptyParts)) {
            const qsizetype close = line.lastIndexOf('"');
            if (!line.startsWith('#'))
                QTest::newRow(qPrintable(line)) << line.mid(1, close - 1) << line.mid(close + 1).trimmed();
        }
    }

    void readingFollowsTheSharedTable()
    {
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        const std::optional<double> read = readDelay(typed);
        QCOMPARE(read.has_value(), expected != QLatin1String("refused"));
        QCOMPARE(isNumericEntry(typed), read.has_value());
        if (read)
            QCOMPARE(*read, expected.toDouble());
    }

    void settingsKeepEmptyStringsApartFromMissingKeys()
    {
        QCOMPARE(ReadSetting("Velmora", "Pictoreel", "Delay", "1"), QStringLiteral("1"));
        QVERIFY(WriteSetting("Velmora", "Pictoreel", "Delay", ""));
        QCOMPARE(ReadSetting("Velmora", "Pictoreel", "Delay", "1"), QString());
        QVERIFY(WriteSetting("Velmora", "Pictoreel", "Delay", "a=b; [c] \"d\" é"));
        QCOMPARE(ReadSetting("Velmora", "Pictoreel", "Delay", "1"), QStringLiteral("a=b; [c] \"d\" é"));
        QCOMPARE(ReadSetting("Velmora", "Other", "Delay", "x"), QStringLiteral("x"));
    }

    void anUnwritableStoreDoesNotStopTheProgram()
    {
        // The settings folder is an ordinary file: nothing can be stored below it.
        QTemporaryDir dir;
        QFile blocker(dir.filePath("not-a-folder"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, blocker.fileName());

        Form1Fixture f;
        f.showLoaded();
        QCOMPARE(f.text1()->text(), QStringLiteral("1"));
        QTest::keyClicks(f.text1(), "5");
        QVERIFY(!WriteSetting(kSettingsApp, kSettingsSection, kDelayKey, "7"));
        QCOMPARE(f.text1()->text(), QStringLiteral("15"));

        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, qEnvironmentVariable("XDG_CONFIG_HOME"));
    }

    void everyKeystrokeIsStoredAtOnce()
    {
        Form1Fixture f;
        f.showLoaded();
        f.text1()->setFocus();
        f.text1()->selectAll();
        QStringList seen;
        QObject::connect(f.text1(), &QLineEdit::textChanged, [&] { seen << storedDelay(); });

        QTest::keyClicks(f.text1(), "12");
        QCOMPARE(seen, QStringList({"1", "12"}));
        QTest::keyClick(f.text1(), Qt::Key_Backspace);
        QTest::keyClick(f.text1(), Qt::Key_Backspace);
        QCOMPARE(storedDelay(), QString());
    }

    void leavingANonNumberWarnsOnceAndKeepsTheFocus()
    {
        Form1Fixture f;
        f.showLoaded();
        f.text1()->setFocus();
        f.text1()->setText("abc");

        QTest::keyClick(f.text1(), Qt::Key_Tab);
        QTRY_COMPARE(f.dialogs.messages.size(), 1);
        QCOMPARE(f.dialogs.messages[0].text, QStringLiteral("Must be numeric entry."));
        QCOMPARE(f.dialogs.messages[0].icon, Dialogs::MessageIcon::Warning);
        QTRY_COMPARE(QApplication::focusWidget(), f.text1());
        QCOMPARE(f.text1()->text(), QStringLiteral("abc"));
        QCOMPARE(storedDelay(), QStringLiteral("abc"));

        // A click on a button moves the focus too: one more warning, no loop.
        QTest::mouseClick(f.form.findChild<QToolButton *>("Check1"), Qt::LeftButton);
        QTRY_COMPARE(f.dialogs.messages.size(), 2);
        QTest::qWait(50);
        QCOMPARE(f.dialogs.messages.size(), 2);
    }

    void leavingANumberOrTheApplicationDoesNotWarn()
    {
        Form1Fixture f;
        f.showLoaded();
        f.text1()->setFocus();
        QTest::keyClick(f.text1(), Qt::Key_Tab);
        QTest::qWait(20);   // the check runs once the focus change is over
        QVERIFY(f.dialogs.messages.isEmpty());

        f.text1()->setFocus();
        f.text1()->setText("abc");
        QFocusEvent otherApplication(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
        QApplication::sendEvent(f.text1(), &otherApplication);
        QTest::qWait(50);
        QVERIFY(f.dialogs.messages.isEmpty());
    }

    void theWarningNeverLeavesTheListDragging()
    {
        Form1Fixture f;
        f.showLoaded();
        f.form.imageList().append(QStringList{"/a.jpg", "/b.jpg", "/c.jpg"});
        f.text1()->setFocus();
        f.text1()->setText("abc");
        auto *list = f.form.findChild<QTreeView *>("ListView1");
        auto send = [&](QEvent::Type type, int row) {   // a press with the left button, or a move with none
            const QPoint at = list->visualRect(list->model()->index(row, 0)).center();
            const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
            QMouseEvent event(type, at, list->viewport()->mapToGlobal(at), button, button, {});
            QApplication::sendEvent(list->viewport(), &event);
        };
        list->setFocus(Qt::MouseFocusReason);   // as a click on the list moves the focus
        send(QEvent::MouseButtonPress, 0);
        QTRY_COMPARE(f.dialogs.messages.size(), 1);   // the box took the release
        send(QEvent::MouseMove, 1);
        send(QEvent::MouseMove, 2);
        QCOMPARE(f.form.imageList().paths(), QStringList({"/a.jpg", "/b.jpg", "/c.jpg"}));
    }

    void filesDroppedOnTheDelayBoxAreRefused()
    {
        Form1Fixture f;
        f.showLoaded();
        QMimeData file;   // as a file manager offers it: the URL and its text
        file.setUrls({QUrl::fromLocalFile("/home/me/Garden.jpg")});
        file.setText(QStringLiteral("file:///home/me/Garden.jpg"));
        const QPoint at = f.text1()->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &file, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(f.text1(), &enter);
        QVERIFY(!enter.isAccepted());
        QDropEvent drop(at, Qt::CopyAction, &file, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(f.text1(), &drop);
        QCOMPARE(f.text1()->text(), QStringLiteral("1"));
    }

    void theRealWarningBoxAppearsOnceAndReturnsTheFocus()
    {
        QtDialogs real;
        QTemporaryDir folder;
        Form1 form({&real, folder.path(), {[] { return 0.5; }, [](const QUrl &) {}}});
        form.Form_Load();
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        auto *text1 = form.findChild<QLineEdit *>("Text1");
        text1->setFocus();
        text1->setText("abc");

        QList<QMessageBox *> boxes;
        QTimer closer;
        QObject::connect(&closer, &QTimer::timeout, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box || boxes.contains(box))
                return;
            boxes << box;
            QCOMPARE(box->windowTitle(), QStringLiteral("Pictoreel"));
            QCOMPARE(box->text(), QStringLiteral("Must be numeric entry."));
            QCOMPARE(box->icon(), QMessageBox::Warning);
            QCOMPARE(box->standardButtons(), QMessageBox::Ok);
            box->button(QMessageBox::Ok)->click();
        });
        closer.start(10);

        QTest::keyClick(text1, Qt::Key_Tab);
        QTRY_COMPARE(boxes.size(), 1);
        QTRY_COMPARE(form.focusWidget(), text1);
        QTest::qWait(100);
        QCOMPARE(boxes.size(), 1);
    }
};

PICTOREEL_TEST_MAIN(TestDelay)
#include "tst_delay.moc"
