// Start-up routines: centring arithmetic, the home-page draw, the hand pointer.
#include "Form1Fixture.h"

#include "app/Main.h"
#include "ui/CursorFile.h"

#include <QFile>
#include <QScreen>

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void centringHalvesWhatIsLeft_data()
    {
        QTest::addColumn<QSizeF>("screen");
        QTest::addColumn<QSizeF>("window");
        QTest::addColumn<QPointF>("origin");
        QTest::newRow("even") << QSizeF(1920, 1080) << QSizeF(442, 293) << QPointF(739, 393.5);
        QTest::newRow("fraction stays") << QSizeF(1025, 769) << QSizeF(450, 320) << QPointF(287.5, 224.5);
        QTest::newRow("larger than the screen overhangs both edges")
            << QSizeF(400, 200) << QSizeF(450, 320) << QPointF(-25, -60);
    }

    void centringHalvesWhatIsLeft()
    {
        QFETCH(QSizeF, screen);
        QFETCH(QSizeF, window);
        QFETCH(QPointF, origin);
        QCOMPARE(centredOrigin(screen, window), origin);
    }

    void loadedWindowIsCentredOnTheWholeScreen()
    {
        Form1Fixture f;
        f.form.Form_Load();
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        const QRect frame = f.form.frameGeometry();
        QVERIFY(qAbs(frame.left() - screen.left() - (screen.width() - frame.width()) / 2) <= 1);
        QVERIFY(qAbs(frame.top() - screen.top() - (screen.height() - frame.height()) / 2) <= 1);
    }

    void homePageOpensOnlyWhenTheDrawGivesSeven()
    {
        const QUrl page(QStringLiteral("https://home.test/"));
        QList<int> openedFor;
        for (int n = 1; n <= 100; ++n) {
            // The middle of the interval that gives n, and both of its ends.
            for (double r : {(n - 0.5) / 100.0, (n - 1) / 100.0 + 1e-9, n / 100.0 - 1e-9}) {
                int opened = 0;
                const bool result = RandomHomePage({[r] { return r; },
                                                    [&](const QUrl &url) {
                                                        QCOMPARE(url, page);
                                                        ++opened;
                                                    },
                                                    page});
                QCOMPARE(homePageNumber(r), n);
                QCOMPARE(result, opened == 1);
                if (opened)
                    openedFor << n;
            }
        }
        QCOMPARE(openedFor, QList<int>({7, 7, 7}));
    }

    void loadRunsTheDrawOnce()
    {
        ScriptedDialogs dialogs;
        QTemporaryDir folder;
        int draws = 0;
        QList<QUrl> opened;
        // A seven, but the build names no home page: nothing opens.
        Form1 form({&dialogs, folder.path(),
                    {[&] { ++draws; return 0.065; }, [&](const QUrl &url) { opened << url; }, QUrl()}});
        form.Form_Load();
        QCOMPARE(draws, 1);
        QVERIFY(opened.isEmpty());
        QVERIFY(dialogs.messages.isEmpty());
    }

    void systemDrawStaysInRange()
    {
        const HomePageDraw draw = systemHomePageDraw();
        for (int i = 0; i < 1000; ++i) {
            const int n = homePageNumber(draw.random());
            QVERIFY(n >= 1 && n <= 100);
        }
    }

    void handCursorBesideTheProgramBecomesTheCustomPointer()
    {
        QTemporaryDir folder;
        QImage picture(32, 32, QImage::Format_ARGB32);
        picture.fill(Qt::red);
        QFile file(folder.filePath("HAND-M.CUR"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(encodeCursorFile(picture, QPoint(5, 9), CursorFileType::Cursor));
        file.close();

        Form1Fixture f(folder.path());
        f.form.Form_Load();
        QVERIFY(f.form.windowPointer().hasCustomCursor());
        f.form.windowPointer().hover(WindowPointer::Shape::Custom);
        QCOMPARE(f.form.cursor().hotSpot(), QPoint(5, 9));
        QCOMPARE(f.form.cursor().pixmap().toImage().pixelColor(0, 0), QColor(Qt::red));
    }

    void unreadableHandCursorStartsWithoutOne()
    {
        QTemporaryDir folder;
        QFile file(folder.filePath("HAND-M.CUR"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("not a cursor");
        file.close();

        Form1Fixture f(folder.path());
        f.form.Form_Load();
        QVERIFY(!f.form.windowPointer().hasCustomCursor());
        QVERIFY(f.dialogs.messages.isEmpty());
    }
};

PICTOREEL_TEST_MAIN(TestStartup)
#include "tst_startup.moc"
