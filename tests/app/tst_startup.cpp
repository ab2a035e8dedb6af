// Start-up routines: centring arithmetic, the home-page draw, the hand pointer.
#include "MainWindowFixture.h"

#include "StartupHelpers.h"
#include "CursorFile.h"

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void centringHalvesWhatIsLeft()
    {
        QCOMPARE(centredOrigin({1920, 1080}, {442, 293}), QPointF(739, 393.5));
        QCOMPARE(centredOrigin({1025, 769}, {450, 320}), QPointF(287.5, 224.5));   // the fraction stays
        QCOMPARE(centredOrigin({400, 200}, {450, 320}), QPointF(-25, -60));        // overhangs both edges
    }

    void homePageOpensOnlyWhenTheDrawGivesSeven()
    {
        const QUrl page(QStringLiteral("https://home.test/"));
        QList<int> openedFor;
        for (int n = 1; n <= 100; ++n) {
            // The middle of the interval that gives n, and both of its ends.
            for (double r : {(n - 0.5) / 100.0, (n - 1) / 100.0 + 1e-9, n / 100.0 - 1e-9}) {
                int opened = 0;
                const bool result = drawHomePage({[r] { return r; },
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
        MainWindow window({&dialogs, folder.path(),
                    {[&] { ++draws; return 0.065; }, [&](const QUrl &url) { opened << url; }, QUrl()}});
        window.load();
        QCOMPARE(draws, 1);
        QVERIFY(opened.isEmpty());
        QVERIFY(dialogs.messages.isEmpty());
    }

    void handCursorBesideTheProgramBecomesTheCustomPointer()
    {
        QTemporaryDir folder;
        QImage picture(32, 32, QImage::Format_ARGB32);
        picture.fill(Qt::red);
        writeTestFile(folder.filePath("HAND-M.CUR"), encodeCursorFile(picture, QPoint(5, 9), CursorFileType::Cursor));
        MainWindowFixture f(folder.path());
        f.window.load();
        QVERIFY(f.window.windowPointer().hasCustomCursor());
        f.window.windowPointer().hover(WindowPointer::Shape::Custom);
        QCOMPARE(f.window.cursor().hotSpot(), QPoint(5, 9));
        QCOMPARE(f.window.cursor().pixmap().toImage().pixelColor(0, 0), QColor(Qt::red));
    }

    void unreadableHandCursorStartsWithoutOne()
    {
        QTemporaryDir folder;
        writeTestFile(folder.filePath("HAND-M.CUR"), "not a cursor");
        MainWindowFixture f(folder.path());
        f.window.load();
        QVERIFY(!f.window.windowPointer().hasCustomCursor());
        QVERIFY(f.dialogs.messages.isEmpty());
    }
};

PICTOREEL_TEST_MAIN(TestStartup)
#include "tst_startup.moc"
