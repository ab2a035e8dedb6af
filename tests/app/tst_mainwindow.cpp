// The main window as it is created and loaded: layout, focus, start-up effects.
#include "MainWindowFixture.h"

#include "SettingsStore.h"
#include "ImageListModel.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolButton>
#include <QTreeView>

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void init() { clearSettings(); }

    void captionsAndTheWindowAsOpened()
    {
        MainWindowFixture f;
        for (const auto &[name, text] : {std::pair{"delayLabel", "Delay between images (in seconds):"},
                                         {"addFilesButton", "Add JPG File(s)"},
                                         {"addFolderButton", "Add All Files(s) In Folder"},
                                         {"convertButton", "Convert"}})
            QCOMPARE(f.window.findChild<QWidget *>(name)->property("text").toString(), QString(text));
        QCOMPARE(f.window.minimumSize(), f.window.maximumSize());
        QCOMPARE(f.window.palette().color(QPalette::Window), QColor(Qt::white));
        const QImage icon = f.window.windowIcon().pixmap(32, 32).toImage();
        for (int y = 0; y < icon.height(); ++y)
            for (int x = 0; x < icon.width(); ++x)
                QCOMPARE(qAlpha(icon.pixel(x, y)), 0);
        f.window.load();
        QCOMPARE(f.window.windowTitle(), QStringLiteral("Pictoreel"));
    }

    void focusStartsOnTheUnseenButtonWhereEnterOrSpaceDoNothing()
    {
        MainWindowFixture f;
        f.showLoaded();
        QCOMPARE(QApplication::focusWidget(), f.window.findChild<QPushButton *>("focusHolder"));
        QList<QSignalSpy *> spies;
        for (const char *name : {"addFilesButton", "convertButton", "addFolderButton"})
            spies << new QSignalSpy(f.window.findChild<QToolButton *>(name), &QToolButton::clicked);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        for (QSignalSpy *spy : spies)
            QCOMPARE(spy->count(), 0);
        qDeleteAll(spies);
        QVERIFY(f.dialogs.messages.isEmpty());

        QStringList order;
        for (int i = 0; i < 6; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            order << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(order, QStringList({"addFilesButton", "convertButton", "imageList", "addFolderButton", "delayEdit", "focusHolder"}));
    }

    void listStartsEmptyWithItsOneColumn()
    {
        MainWindowFixture f;
        f.window.load();
        auto *list = f.window.findChild<QTreeView *>("imageList");
        QCOMPARE(list->model()->rowCount(), 0);
        QCOMPARE(list->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("JPG File(s)"));
        QCOMPARE(list->editTriggers(), QAbstractItemView::NoEditTriggers);
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
            const QString shown = stored.isNull() ? QStringLiteral("1") : stored;
            QCOMPARE(f.delayEdit()->text(), shown);
            QCOMPARE(storedDelay(), shown);
            QVERIFY(f.dialogs.messages.isEmpty());
        }
    }

    void closingIsNeverRefusedAndEndsTheProgram()
    {
        MainWindowFixture f;
        f.showLoaded();
        QSignalSpy unloaded(&f.window, &MainWindow::closed);
        QVERIFY(f.window.close());
        QCOMPARE(unloaded.count(), 1);
    }
};

PICTOREEL_TEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
