// The main window as it is created and loaded: layout, focus, start-up effects.
#include "Form1Fixture.h"

#include "convert/Settings.h"
#include "imagelist/ImageListModel.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolButton>
#include <QTreeView>

class TestForm1 : public QObject
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

        QTest::newRow("list") << "ListView1" << QRect(8, 8, 425, 121) << "" << 9.0;
        QTest::newRow("label") << "Label1" << QRect(12, 138, 220, 15)
                               << "Delay between images (in seconds):" << 9.0;
        QTest::newRow("delay box") << "Text1" << QRect(240, 135, 58, 22) << "" << 9.0;
        QTest::newRow("add files") << "Check1" << QRect(8, 163, 137, 89) << "Add JPG File(s)" << 11.25;
        QTest::newRow("add folder") << "Check3" << QRect(152, 163, 137, 89)
                                    << "Add All Files(s) In Folder" << 11.25;
        QTest::newRow("convert") << "Check2" << QRect(296, 163, 137, 89) << "Convert" << 11.25;
        QTest::newRow("progress") << "ProgressBar1" << QRect(8, 260, 425, 25) << "" << 0.0;
        QTest::newRow("hidden button") << "Command1" << QRect(-48, 176, 41, 33) << "Command1" << 0.0;
    }

    void controlsStandAsDesigned()
    {
        QFETCH(QString, name);
        QFETCH(QRect, geometry);
        QFETCH(QString, text);
        QFETCH(qreal, points);

        Form1Fixture f;
        auto *control = f.form.findChild<QWidget *>(name);
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
        Form1Fixture f;
        QCOMPARE(f.form.size(), QSize(442, 293));
        QCOMPARE(f.form.minimumSize(), f.form.maximumSize());
        QCOMPARE(f.form.palette().color(QPalette::Window), QColor(Qt::white));

        const QImage icon = f.form.windowIcon().pixmap(32, 32).toImage();
        QCOMPARE(icon.size(), QSize(32, 32));
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                QCOMPARE(qAlpha(icon.pixel(x, y)), 0);

        QCOMPARE(f.form.windowTitle(), QStringLiteral("Form1"));
        f.form.Form_Load();
        QCOMPARE(f.form.windowTitle(), QStringLiteral("Pictoreel"));
    }

    void arialResolvesToAMetricCompatibleFace()
    {
        Form1Fixture f;
        const QFontInfo resolved(f.form.findChild<QLabel *>("Label1")->font());
        QVERIFY2(resolved.family() == QLatin1String("Arial")
                     || resolved.family() == QLatin1String("Liberation Sans"),
                 qPrintable(resolved.family()));
    }

    void focusStartsOnTheUnseenButtonAndTabsInDesignedOrder()
    {
        Form1Fixture f;
        f.showLoaded();
        QCOMPARE(QApplication::focusWidget(), f.form.findChild<QPushButton *>("Command1"));

        QStringList order;
        for (int i = 0; i < 6; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            order << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(order, QStringList({"Check1", "Check2", "ListView1", "Check3", "Text1", "Command1"}));
    }

    void enterOrSpaceRightAfterStartDoNothing()
    {
        Form1Fixture f;
        f.showLoaded();
        QList<QSignalSpy *> spies;
        for (const char *name : {"Check1", "Check2", "Check3"})
            spies << new QSignalSpy(f.form.findChild<QToolButton *>(name), &QToolButton::clicked);

        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);

        for (QSignalSpy *spy : spies)
            QCOMPARE(spy->count(), 0);
        QVERIFY(f.dialogs.messages.isEmpty());
        QCOMPARE(f.text1()->text(), QStringLiteral("1"));
        qDeleteAll(spies);
    }

    void anActionButtonActsOncePerClickOrSpace()
    {
        Form1Fixture f;
        f.showLoaded();
        auto *convert = f.form.findChild<QToolButton *>("Check2");
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
        Form1Fixture f;
        f.form.Form_Load();
        auto *list = f.form.findChild<QTreeView *>("ListView1");
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
        Form1Fixture f;
        f.form.Form_Load();
        auto *bar = f.form.findChild<QProgressBar *>("ProgressBar1");
        QCOMPARE(bar->minimum(), 0);
        QCOMPARE(bar->maximum(), 100);
        QCOMPARE(bar->value(), 0);
        QCOMPARE(bar->palette().color(QPalette::Base), QColor(Qt::white));
        QCOMPARE(bar->focusPolicy(), Qt::NoFocus);
    }

    void firstStartShowsAndStoresTheDefaultDelay()
    {
        Form1Fixture f;
        f.form.Form_Load();
        QCOMPARE(f.text1()->text(), QStringLiteral("1"));
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
        QVERIFY(WriteSetting(kSettingsApp, kSettingsSection, kDelayKey, stored));
        Form1Fixture f;
        f.form.Form_Load();
        QCOMPARE(f.text1()->text(), stored);
        QCOMPARE(storedDelay(), stored);
        QVERIFY(f.dialogs.messages.isEmpty());
    }

    void startsWithoutHandCursorFileSilently()
    {
        Form1Fixture f;   // its program folder holds no HAND-M.CUR
        f.showLoaded();
        QVERIFY(!f.form.windowPointer().hasCustomCursor());
        QVERIFY(f.dialogs.messages.isEmpty());
        QVERIFY(f.form.isVisible());
    }

    void closingIsNeverRefusedAndEndsTheProgram()
    {
        Form1Fixture f;
        f.showLoaded();
        QSignalSpy unloaded(&f.form, &Form1::unloaded);
        QVERIFY(f.form.close());
        QCOMPARE(unloaded.count(), 1);
    }
};

PICTOREEL_TEST_MAIN(TestForm1)
#include "tst_form1.moc"
