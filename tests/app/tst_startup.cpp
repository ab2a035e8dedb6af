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
        for (const auto &[r, number] : {std::pair{0.0, 1}, {0.06 - 1e-9, 6}, {0.06 + 1e-9, 7}, {0.07 - 1e-9, 7},
                                        {0.07 + 1e-9, 8}, {1 - 1e-9, 100}}) {
            QList<QUrl> opened;
            drawHomePage({[r] { return r; }, [&](const QUrl &url) { opened << url; }, page});
            QCOMPARE(homePageNumber(r), number);
            QCOMPARE(opened, number == 7 ? QList<QUrl>{page} : QList<QUrl>{});
        }

        // The window draws once; a build that names no home page opens nothing.
        ScriptedDialogs dialogs;
        int draws = 0;
        bool opened = false;
        MainWindow window({&dialogs, {}, {[&] { ++draws; return 0.065; }, [&](const QUrl &) { opened = true; }, QUrl()}});
        window.load();   // a seven
        QCOMPARE(draws, 1);
        QVERIFY(!opened && dialogs.messages.isEmpty());
    }

    void handCursorBesideTheProgramBecomesTheCustomPointer()
    {
        QImage picture(32, 32, QImage::Format_ARGB32);
        picture.fill(Qt::red);
        for (const QByteArray &file : {encodeCursorFile(picture, QPoint(5, 9), CursorFileType::Cursor), QByteArray("no")}) {
            QTemporaryDir folder;
            writeTestFile(folder.filePath("HAND-M.CUR"), file);
            MainWindowFixture f(folder.path());
            f.window.load();
            QVERIFY(f.dialogs.messages.isEmpty());   // an unreadable file is passed over silently
            QCOMPARE(f.window.windowPointer().hasCustomCursor(), file.size() > 2);
            f.window.windowPointer().hover(WindowPointer::Shape::Custom);
            if (file.size() > 2)
                QCOMPARE(f.window.cursor().hotSpot(), QPoint(5, 9));
        }
    }
};

PICTOREEL_TEST_MAIN(TestStartup)
#include "tst_startup.moc"
