// Start-up routines: centring arithmetic, the home-page draw, the hand pointer.
#include "Form1Fixture.h"

#include "app/Main.h"
#include "ui/CursorFile.h"

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

    void handCursorBesideTheProgramBecomesTheCustomPointer()
    {
        QTemporaryDir folder;
        QImage picture(32, 32, QImage::Format_ARGB32);
        picture.fill(Qt::red);
        writeTestFile(folder.filePath("HAND-M.CUR"), encodeCursorFile(picture, QPoint(5, 9), CursorFileType::Cursor));
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
        writeTestFile(folder.filePath("HAND-M.CUR"), "not a cursor");
        Form1Fixture f(folder.path());
        f.form.Form_Load();
        QVERIFY(!f.form.windowPointer().hasCustomCursor());
        QVERIFY(f.dialogs.messages.isEmpty());
    }
};

PICTOREEL_TEST_MAIN(TestStartup)
#include "tst_startup.moc"
