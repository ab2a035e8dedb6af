// The delay box: every change stored at once, the warning when it is left
// holding something that is not a number.
#include "Form1Fixture.h"

#include "convert/DelayCheck.h"

#include <QFile>
#include <QMessageBox>
#include <QTimer>
#include <QToolButton>

class TestDelay : public QObject
{
    Q_OBJECT

private slots:
    void init() { clearSettings(); }

    void numericTest_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<bool>("numeric");
        QTest::newRow("plain") << "2" << "en_US" << true;
        QTest::newRow("blanks around") << "  2 " << "en_US" << true;
        QTest::newRow("fraction") << "1.5" << "en_US" << true;
        QTest::newRow("negative") << "-3" << "en_US" << true;
        QTest::newRow("plus sign") << "+4" << "en_US" << true;
        QTest::newRow("exponent") << "1e3" << "en_US" << true;
        QTest::newRow("thousands") << "1,000.5" << "en_US" << true;
        QTest::newRow("zero has no range check") << "0" << "en_US" << true;
        QTest::newRow("comma decimal") << "0,5" << "de_DE" << true;
        QTest::newRow("German thousands") << "1.000,5" << "de_DE" << true;
        QTest::newRow("dot still read in German") << "1.5" << "de_DE" << true;
        QTest::newRow("empty") << "" << "en_US" << false;
        QTest::newRow("blanks only") << "   " << "en_US" << false;
        QTest::newRow("letters") << "abc" << "en_US" << false;
        QTest::newRow("number then letters") << "2s" << "en_US" << false;
        QTest::newRow("two numbers") << "1 2" << "en_US" << false;
    }

    void numericTest()
    {
        QFETCH(QString, text);
        QFETCH(QString, locale);
        QFETCH(bool, numeric);
        QCOMPARE(isNumericEntry(text, QLocale(locale)), numeric);
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
