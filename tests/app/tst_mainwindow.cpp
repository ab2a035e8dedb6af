// The main window as it is created and loaded: layout, focus, start-up effects.
#include "MainWindowFixture.h"

#include "SettingsStore.h"
#include "ImageListModel.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolButton>
#include <QTreeView>

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void init() { clearSettings(); }

    void controlsStandAsDesigned_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<QString>("text");
        QTest::addColumn<qreal>("points");

        QTest::newRow("list") << "imageList" << QRect(8, 8, 425, 121) << "" << 9.0;
        QTest::newRow("label") << "delayLabel" << QRect(12, 138, 220, 15)
                               << "Delay between images (in seconds):" << 9.0;
        QTest::newRow("delay box") << "delayEdit" << QRect(240, 135, 58, 22) << "" << 9.0;
        QTest::newRow("add files") << "addFilesButton" << QRect(8, 163, 137, 89) << "Add JPG File(s)" << 11.25;
        QTest::newRow("add folder") << "addFolderButton" << QRect(152, 163, 137, 89)
                                    << "Add All Files(s) In Folder" << 11.25;
        QTest::newRow("convert") << "convertButton" << QRect(296, 163, 137, 89) << "Convert" << 11.25;
        QTest::newRow("progress") << "progressBar" << QRect(8, 260, 425, 25) << "" << 0.0;
        QTest::newRow("hidden button") << "focusHolder" << QRect(-48, 176, 41, 33) << "Command1" << 0.0;
    }

    void controlsStandAsDesigned()
    {
        QFETCH(QString, name);
        QFETCH(QRect, geometry);
        QFETCH(QString, text);
        QFETCH(qreal, points);

        MainWindowFixture f;
        auto *control = f.window.findChild<QWidget *>(name);
        QVERIFY(control);
        QCOMPARE(control->geometry(), geometry);
        if (!text.isEmpty())
            QCOMPARE(control->property("text").toString(), text);
        if (points > 0) {
            QCOMPARE(control->font().family(), QStringLiteral("Arial"));
            QCOMPARE(control->font().pointSizeF(), points);
            QVERIFY(control->font().bold());
            QVERIFY(!control->font().italic() && !control->font().underline());
        }
        QVERIFY(control->isEnabled());
    }

    void windowIsFixedWhiteAndWithoutIcon()
    {
        MainWindowFixture f;
        QCOMPARE(f.window.size(), QSize(442, 293));
        QCOMPARE(f.window.minimumSize(), f.window.maximumSize());
        QCOMPARE(f.window.palette().color(QPalette::Window), QColor(Qt::white));

        const QImage icon = f.window.windowIcon().pixmap(32, 32).toImage();
        QCOMPARE(icon.size(), QSize(32, 32));
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                QCOMPARE(qAlpha(icon.pixel(x, y)), 0);

        f.window.load();
        QCOMPARE(f.window.windowTitle(), QStringLiteral("Pictoreel"));
    }

    void arialResolvesToAMetricCompatibleFace()
    {
        MainWindowFixture f;
        const QFontInfo resolved(f.window.findChild<QLabel *>("delayLabel")->font());
        QVERIFY2(resolved.family() == QLatin1String("Arial")
                     || resolved.family() == QLatin1String("Liberation Sans"),
                 qPrintable(resolved.family()));
    }

    void focusStartsOnTheUnseenButtonAndTabsInDesignedOrder()
    {
        MainWindowFixture f;
        f.showLoaded();
        QCOMPARE(QApplication::focusWidget(), f.window.findChild<QPushButton *>("focusHolder"));

        QStringList order;
        for (int i = 0; i < 6; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            order << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(order, QStringList({"addFilesButton", "convertButton", "imageList", "addFolderButton", "delayEdit", "focusHolder"}));
    }

    void enterOrSpaceRightAfterStartDoNothing()
    {
        MainWindowFixture f;
        f.showLoaded();
        QList<QSignalSpy *> spies;
        for (const char *name : {"addFilesButton", "convertButton", "addFolderButton"})
            spies << new QSignalSpy(f.window.findChild<QToolButton *>(name), &QToolButton::clicked);

        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);

        for (QSignalSpy *spy : spies)
            QCOMPARE(spy->count(), 0);
        QVERIFY(f.dialogs.messages.isEmpty());
        QCOMPARE(f.delayEdit()->text(), QStringLiteral("1"));
        qDeleteAll(spies);
    }

    void anActionButtonActsOncePerClickOrSpace()
    {
        MainWindowFixture f;
        f.showLoaded();
        auto *convert = f.window.findChild<QToolButton *>("convertButton");
        QSignalSpy clicks(convert, &QToolButton::clicked);

        QTest::mouseClick(convert, Qt::LeftButton);
        QCOMPARE(clicks.count(), 1);
        convert->setFocus();
        QTest::keyClick(convert, Qt::Key_Space);
        QCOMPARE(clicks.count(), 2);
        QVERIFY(!convert->isChecked());
    }

    void listStartsEmptyWithItsOneColumn()
    {
        MainWindowFixture f;
        f.window.load();
        auto *list = f.window.findChild<QTreeView *>("imageList");
        QCOMPARE(list->model()->columnCount(), 1);
        QCOMPARE(list->model()->rowCount(), 0);
        QCOMPARE(list->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("JPG File(s)"));
        QCOMPARE(list->header()->sectionSize(0), 23);   // 350 twips
        QVERIFY(list->toolTip().startsWith("Drag and drop files here. Double-click item to remove it."));
        QVERIFY(list->uniformRowHeights());
        QCOMPARE(list->editTriggers(), QAbstractItemView::NoEditTriggers);
    }

    void progressBarRunsToAHundredOnWhite()
    {
        MainWindowFixture f;
        f.window.load();
        auto *bar = f.window.findChild<QProgressBar *>("progressBar");
        QCOMPARE(bar->minimum(), 0);
        QCOMPARE(bar->maximum(), 100);
        QCOMPARE(bar->value(), 0);
        QCOMPARE(bar->palette().color(QPalette::Base), QColor(Qt::white));
        QCOMPARE(bar->focusPolicy(), Qt::NoFocus);
    }

    void firstStartShowsAndStoresTheDefaultDelay()
    {
        MainWindowFixture f;
        f.window.load();
        QCOMPARE(f.delayEdit()->text(), QStringLiteral("1"));
        QCOMPARE(storedDelay(), QStringLiteral("1"));
    }

    void storedDelayIsShownUnchanged_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::newRow("number") << "2.5";
        QTest::newRow("letters are not checked at start") << "abc";
        QTest::newRow("an empty string is a value, not a missing key") << "";
    }

    void storedDelayIsShownUnchanged()
    {
        QFETCH(QString, stored);
        QVERIFY(writeSetting(kSettingsApp, kSettingsSection, kDelayKey, stored));
        MainWindowFixture f;
        f.window.load();
        QCOMPARE(f.delayEdit()->text(), stored);
        QCOMPARE(storedDelay(), stored);
        QVERIFY(f.dialogs.messages.isEmpty());
    }

    void startsWithoutHandCursorFileSilently()
    {
        MainWindowFixture f;   // its program folder holds no HAND-M.CUR
        f.showLoaded();
        QVERIFY(!f.window.windowPointer().hasCustomCursor());
        QVERIFY(f.dialogs.messages.isEmpty());
        QVERIFY(f.window.isVisible());
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
