// The main window as it is created and loaded: captions, focus, the stored delay.
#include "MainWindowFixture.h"

#include "ImageListModel.h"

#include <QAccessible>
#include <QSignalSpy>
#include <QToolButton>

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void init() { clearSettings(); }

    void theWindowAsOpenedAndItsFocusWhereEnterOrSpaceDoNothing()
    {
        MainWindowFixture f;
        for (const auto &[name, text] : {std::pair{"delayLabel", "Delay between images (in seconds):"},
                                         {"addFilesButton", "Add JPG File(s)"},
                                         {"addFolderButton", "Add All Files(s) In Folder"},
                                         {"convertButton", "Convert"}})
            QCOMPARE(f.window.findChild<QWidget *>(name)->property("text").toString(), QString(text));
        QCOMPARE(f.window.imageList().headerData(0, Qt::Horizontal).toString(), QStringLiteral("JPG File(s)"));
        QCOMPARE(f.window.minimumSize(), f.window.maximumSize());
        QCOMPARE(f.window.palette().color(QPalette::Window), QColor(Qt::white));
        const auto drawn = [](const QIcon &icon) {
            QImage alpha = icon.pixmap(32, 32).toImage().convertToFormat(QImage::Format_Alpha8), clear = alpha;
            clear.fill(0);
            return !alpha.isNull() && alpha != clear;
        };
        QVERIFY(!drawn(f.window.windowIcon()));   // no picture at all
        for (const char *button : {"addFilesButton", "addFolderButton", "convertButton"})
            QVERIFY2(drawn(f.window.findChild<QToolButton *>(button)->icon()), button);
        f.showLoaded();
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("focusHolder"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QVERIFY(f.dialogs.asked.isEmpty() && f.dialogs.messages.isEmpty());   // no button was pressed

        QStringList order;
        for (int i = 0; i < 6; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            order << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(order, QStringList({"addFilesButton", "convertButton", "imageList", "addFolderButton", "delayEdit", "focusHolder"}));

        QSignalSpy closed(&f.window, &MainWindow::closed);   // closing is never refused
        QVERIFY(f.window.close());
        QCOMPARE(closed.count(), 1);
    }

    void screenReadersHearEachControlAndPassTheUnseenOneBy()
    {
        MainWindowFixture f;
        f.showLoaded();
        const auto accessible = [&](const char *name) {
            return QAccessible::queryAccessibleInterface(f.window.findChild<QWidget *>(name));
        };
        const char *listTip = "Drag and drop files here. Double-click item to remove it. "
                              "Move bar to right and out of window to reveal full names.";
        for (const auto &[name, spoken, description] :
             {std::tuple{"imageList", "Pictures in slide show order", listTip},
              {"delayEdit", "Delay between images (in seconds):", "How long each picture is shown, such as 2 or 1.5"},
              {"addFilesButton", "Add JPG File(s)", "Adds pictures chosen in a file dialog to the end of the list"},
              {"addFolderButton", "Add All Files(s) In Folder",
               "Adds every file with a chosen extension in a folder and the folders below it"},
              {"convertButton", "Convert", "Makes one slide show of the listed pictures, in list order"}}) {
            QAccessibleInterface *control = accessible(name);
            QCOMPARE(control->text(QAccessible::Name), QString(spoken));
            QCOMPARE(control->text(QAccessible::Description), QString(description));
            QVERIFY(!control->state().invisible);
        }
        QAccessibleInterface *unseen = accessible("focusHolder");
        QCOMPARE(unseen->text(QAccessible::Name), QStringLiteral("Command1"));
        QVERIFY(unseen->state().invisible && unseen->state().offscreen);
    }

    void storedDelayIsShownUnchanged()
    {
        // None stored: the default, stored at once. Letters are not checked at
        // start; an empty string is a value, not a missing key.
        for (const QString &stored : {QString(), QStringLiteral("2.5"), QStringLiteral("abc"), QStringLiteral("")}) {
            clearSettings();
            if (!stored.isNull())
                QVERIFY(writeSetting(kSettingsApp, kSettingsSection, kDelayKey, stored));
            MainWindowFixture f;
            f.window.load();
            QCOMPARE(f.delayEdit()->text(), stored.isNull() ? QStringLiteral("1") : stored);
            QCOMPARE(storedDelay(), f.delayEdit()->text());
            QVERIFY(f.dialogs.messages.isEmpty());
        }
    }
};

PICTOREEL_TEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
