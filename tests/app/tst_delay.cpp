// The delay box: every change stored at once, the warning when it is left
// holding something that is not a number.
#include "MainWindowFixture.h"

#include "ImageListModel.h"
#include "ModalAnswer.h"

#include <QMessageBox>
#include <QMimeData>
#include <QToolButton>

class TestDelay : public QObject
{
    Q_OBJECT

private slots:
    void init() { clearSettings(); }

    void anUnwritableStoreDoesNotStopTheProgram()
    {
        const UnwritableSettingsStore unwritable;
        MainWindowFixture f;
        f.showLoaded();
        QTest::keyClicks(f.delayEdit(), "5");
        QVERIFY(!writeSetting(kSettingsApp, kSettingsSection, kDelayKey, "7"));
        QCOMPARE(f.delayEdit()->text(), QStringLiteral("15"));
    }

    void everyKeystrokeIsStoredAtOnceAndFileDropsAreRefused()
    {
        MainWindowFixture f;
        f.showLoaded();
        f.delayEdit()->setFocus();
        f.delayEdit()->selectAll();
        QStringList seen;
        QObject::connect(f.delayEdit(), &QLineEdit::textChanged, [&] { seen << storedDelay(); });
        QTest::keyClicks(f.delayEdit(), "12");
        QTest::keyClick(f.delayEdit(), Qt::Key_Backspace);

        QMimeData file;   // as a file manager offers it: the URL and its text
        file.setUrls({QUrl::fromLocalFile("/home/me/Garden.jpg")});
        file.setText(QStringLiteral("file:///home/me/Garden.jpg"));
        const QPoint at = f.delayEdit()->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &file, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(f.delayEdit(), &enter);
        QDropEvent drop(at, Qt::CopyAction, &file, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(f.delayEdit(), &drop);
        QVERIFY(!enter.isAccepted());
        QTest::keyClick(f.delayEdit(), Qt::Key_Backspace);
        QCOMPARE(seen, QStringList({"1", "12", "1", ""}));
    }

    void onlyLeavingANonNumberForThisWindowWarnsOnceAndKeepsTheFocus()
    {
        MainWindowFixture f;
        f.showLoaded();
        f.delayEdit()->setFocus();
        QTest::keyClick(f.delayEdit(), Qt::Key_Tab);   // a number: no warning
        QCoreApplication::processEvents();   // the check runs once the focus change is over
        f.delayEdit()->setFocus();
        f.delayEdit()->setText("abc");
        QFocusEvent otherApplication(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
        QApplication::sendEvent(f.delayEdit(), &otherApplication);
        QCoreApplication::processEvents();
        QVERIFY(f.dialogs.messages.isEmpty());

        QTest::keyClick(f.delayEdit(), Qt::Key_Tab);
        QTRY_COMPARE(f.dialogs.messages, QStringList({"Must be numeric entry."}));   // its icon: with the real box
        QTRY_COMPARE(QApplication::focusWidget(), f.delayEdit());
        QCOMPARE(storedDelay(), QStringLiteral("abc"));

        // A click on a button moves the focus too: one more warning, no loop.
        QTest::mouseClick(f.window.findChild<QToolButton *>("addFilesButton"), Qt::LeftButton);
        QTRY_COMPARE(f.dialogs.messages.size(), 2);
        QCoreApplication::processEvents();
        QCOMPARE(f.dialogs.messages.size(), 2);

        // Convert pressed straight from it, with an empty list and with a
        // picture: that one warning each time, and no file asked for.
        f.dialogs.asked.clear();
        for (int count = 3; count <= 4; ++count) {
            QTest::mouseClick(f.window.findChild<QToolButton *>("convertButton"), Qt::LeftButton);
            QTRY_COMPARE(f.dialogs.messages.size(), count);
            QCoreApplication::processEvents();
            QCOMPARE(f.dialogs.messages.size(), count);
            QCOMPARE(f.dialogs.messages.last(), QStringLiteral("Must be numeric entry."));
            f.window.imageList().append({QStringLiteral("a.jpg")});
        }
        QVERIFY(f.dialogs.asked.isEmpty());
    }

    void theRealWarningBoxReturnsTheFocus()
    {
        QtDialogs real;
        MainWindowFixture f({}, &real);
        f.showLoaded();
        f.delayEdit()->setFocus();
        f.delayEdit()->setText("abc");
        QString shown;
        answerNextModal<QMessageBox>([&](QMessageBox *box) {
            shown = box->text();
            QCOMPARE(box->icon(), QMessageBox::Warning);
            box->button(QMessageBox::Ok)->click();
        });
        QTest::keyClick(f.delayEdit(), Qt::Key_Tab);
        QTRY_COMPARE(shown, QStringLiteral("Must be numeric entry."));
        QTRY_COMPARE(f.window.focusWidget(), f.delayEdit());
        QCoreApplication::processEvents();
        QVERIFY(!QApplication::activeModalWidget());   // once: the focus coming back asks nothing
    }
};

PICTOREEL_TEST_MAIN(TestDelay)
#include "tst_delay.moc"
