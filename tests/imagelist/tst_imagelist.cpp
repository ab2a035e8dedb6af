// The image list: the model, reordering by dragging, removal and file drops,
// driven through real mouse and drag events on the view.
#include "TestMain.h"

#include "ImageListModel.h"
#include "ImageListView.h"
#include "WindowPointer.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QMimeData>
#include <QTimer>
#include <QToolTip>

namespace {

struct ListFixture {
    explicit ListFixture(const QStringList &rows = {}, const QString &programFolder = QStringLiteral(PICTOREEL_PROGRAM_DIR))
        : pointer(&window), view(&model, &pointer, programFolder + QStringLiteral("/drag.ico"), &window)
    {
        window.resize(460, 200);
        view.setGeometry(8, 8, 425, 121);
        model.append(rows);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }

    QPoint centreOf(int row) { return view.visualRect(model.index(row)).center(); }
    QPoint below() { return QPoint(20, view.viewport()->height() - 3); }   // under the last row

    void send(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons)
    {
        QMouseEvent event(type, at, view.viewport()->mapToGlobal(at), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(view.viewport(), &event);
    }
    void press(QPoint at, Qt::MouseButton button = Qt::LeftButton) { send(QEvent::MouseButtonPress, at, button, button); }
    void move(QPoint at, Qt::MouseButtons buttons = Qt::LeftButton) { send(QEvent::MouseMove, at, Qt::NoButton, buttons); }
    void release(QPoint at, Qt::MouseButton button = Qt::LeftButton) { send(QEvent::MouseButtonRelease, at, button, Qt::NoButton); }
    void doubleClick(QPoint at) { send(QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton); release(at); }
    int selectedRow() { return view.selectionModel()->selectedRows().value(0, QModelIndex()).row(); }

    QWidget window;
    ImageListModel model;
    WindowPointer pointer;
    ImageListView view;
};

} // namespace

class TestImageList : public QObject
{
    Q_OBJECT

private slots:
    void modelKeepsOrderAndPassesTheModelTester()
    {
        ImageListModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.append(QStringLiteral("/a.jpg"));
        model.append(QStringList{"/c.jpg", "/a.jpg", "/b.jpg"});
        model.append(QStringList{});
        model.remove(0);
        QCOMPARE(model.paths(), QStringList({"/c.jpg", "/a.jpg", "/b.jpg"}));
        // Pictures change places by moving rows; only the two exchanged move.
        model.append(QStringList{"/d.jpg", "/e.jpg"});
        for (const auto &[a, b, order] : {std::tuple{0, 1, "acbde"}, {1, 0, "cabde"}, {0, 4, "eabdc"}, {3, 1, "edbac"},
                                          {2, 2, "edbac"}}) {
            model.exchange(a, b);
            QCOMPARE(model.paths().join("").remove('/').remove(".jpg"), QString(order));
        }
        QVERIFY(!model.moveRow({}, 0, {}, 0) && !model.moveRow({}, 0, {}, 6) && !model.moveRow(model.index(0), 0, {}, 2));
        QVERIFY(model.moveRows({}, 0, 2, {}, 5));
        QCOMPARE(model.paths().join("").remove('/').remove(".jpg"), QString("baced"));
        // Every row that holds a named path goes, and nothing else.
        model.append(QStringList{"/b.jpg", "/x.jpg", "/a.jpg", "/a.jpg"});
        QCOMPARE(model.removePaths({"/a.jpg", "/b.jpg", "/y.jpg"}), 5);
        QCOMPARE(model.paths(), QStringList({"/c.jpg", "/e.jpg", "/d.jpg", "/x.jpg"}));
        QVERIFY(!(model.flags(model.index(0)) & (Qt::ItemIsEditable | Qt::ItemIsDropEnabled)));
    }

    // Steps, by row ("_": under the last row): p/P press left/right, m/M move holding left/right,
    // n move with no button, r/R release, d double-click, f focus leaves, w window deactivated,
    // x remove the row from the model, c check no drag is on and the pointer is back, s check the selection,
    // u/v Alt+Up/Alt+Down, k/b Delete/Backspace, t Tab into the list.
    void mouseAndKeyStepsReorderAndRemove_data()
    {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QStringList>("expected");
        const QStringList abcd{"A", "B", "C", "D"}, abc{"A", "B", "C"};
        QTest::newRow("row by row") << abcd << "p0 m1 m2 m3 r3 s3" << QStringList{"B", "C", "D", "A"};
        QTest::newRow("one jump exchanges two") << abcd << "p0 m3 r3 s3" << QStringList{"D", "B", "C", "A"};
        QTest::newRow("equal texts") << QStringList{"A", "B", "A", "C"} << "p0 m2 s0" << QStringList{"A", "B", "A", "C"};
        QTest::newRow("press outside, any button") << abcd << "p1 r1 P_ M3 R3 c" << QStringList{"A", "D", "C", "B"};
        QTest::newRow("moves without a drag") << abc << "n0 n1 n2 p_ m0" << abc;
        QTest::newRow("drag ends: move with no button") << abc << "p0 n2 c p0 m1" << QStringList{"B", "A", "C"};
        QTest::newRow("drag ends: focus leaves") << abc << "p0 f c p0 m1" << QStringList{"B", "A", "C"};
        QTest::newRow("drag ends: modal box") << abc << "p0 w c p0 m1" << QStringList{"B", "A", "C"};
        QTest::newRow("double-click on empty list") << QStringList{} << "d_" << QStringList{};
        QTest::newRow("double-click, none selected") << abc << "d_" << abc;
        QTest::newRow("double-click removes selected") << abc << "p1 r1 p_ r_ d_" << QStringList{"A", "C"};
        QTest::newRow("a row reaches across the list") << abc << "p0 r0 p2> r2> d2> p0> m1> r1>" << QStringList{"B", "A"};
        QTest::newRow("removed row not dragged") << abcd << "p1 r1 d1 p_ m0 m2 r2" << QStringList{"A", "C", "D"};
        QTest::newRow("other row removed") << abcd << "p2 r2 x0 p_ m0 r0" << QStringList{"C", "B", "D"};
        QTest::newRow("keys move one place") << abcd << "p1 r1 v s2 u u s0 u s0 p3 r3 v s3" << QStringList{"B", "A", "C", "D"};
        QTest::newRow("keys remove, next selected") << abcd << "p1 r1 k s1 b s1 k s0" << QStringList{"A"};
        QTest::newRow("keys, none selected") << abc << "u v k b" << abc;
        QTest::newRow("tab selects the framed row") << abc << "t s0 v k s1" << QStringList{"B", "C"};
    }

    void mouseAndKeyStepsReorderAndRemove()
    {
        QFETCH(QStringList, rows);
        QFETCH(QString, steps);
        QFETCH(QStringList, expected);
        ListFixture f(rows);
        for (const QString &step : steps.split(' ')) {
            // "p2>": at the far right of row 2, beyond its narrow column.
            const bool farRight = step.endsWith('>');
            QPoint at = step.size() < 2 ? QPoint() : step[1] == '_' ? f.below() : f.centreOf(step.mid(1).remove('>').toInt());
            if (farRight)
                at.setX(f.view.viewport()->width() - 5);
            switch (step[0].toLatin1()) {
            case 'p': f.press(at); break;
            case 'P': f.press(at, Qt::RightButton); break;
            case 'm': f.move(at); break;
            case 'M': f.move(at, Qt::RightButton); break;
            case 'n': f.move(at, Qt::NoButton); break;
            case 'r': f.release(at); break;
            case 'R': f.release(at, Qt::RightButton); break;
            case 'd': f.doubleClick(at); break;
            case 'f': { QFocusEvent out(QEvent::FocusOut); QApplication::sendEvent(&f.view, &out); break; }
            case 'w': { QEvent off(QEvent::WindowDeactivate); QApplication::sendEvent(&f.window, &off); break; }
            case 'x': f.model.remove(step.mid(1).toInt()); break;
            case 's': QCOMPARE(f.selectedRow(), step.mid(1).toInt()); break;
            case 'u': QTest::keyClick(&f.view, Qt::Key_Up, Qt::AltModifier); break;
            case 'v': QTest::keyClick(&f.view, Qt::Key_Down, Qt::AltModifier); break;
            case 'k': QTest::keyClick(&f.view, Qt::Key_Delete); break;
            case 'b': QTest::keyClick(&f.view, Qt::Key_Backspace); break;
            case 't': QVERIFY(QTest::qWaitForWindowActive(&f.window)); f.view.clearFocus(); f.view.setFocus(Qt::TabFocusReason); break;
            case 'c':
                QVERIFY(!f.view.isDragging());
                QCOMPARE(f.view.viewport()->cursor().shape(), Qt::ArrowCursor);
                break;
            }
        }
        QCOMPARE(f.model.paths(), expected);
    }

    void dragPointerFromTheClickUnlessBusy()
    {
        ListFixture f({"A", "B"});
        const auto shown = [&] { return f.view.viewport()->cursor(); };
        f.pointer.coverWhenBusy(f.view.viewport(), [&] { f.view.restoreOwnPointer(); });
        f.pointer.set(WindowPointer::Shape::Busy);
        f.press(f.centreOf(0));
        QCOMPARE(shown().shape(), Qt::WaitCursor);
        f.pointer.set(WindowPointer::Shape::Default);
        QCOMPARE(shown().shape(), Qt::BitmapCursor);   // drawn from drag.ico
        QCOMPARE(shown().hotSpot(), QPoint(16, 16));

        // Without drag.ico the click still remembers the row and shows a pointer.
        QTemporaryDir empty;
        ListFixture bare({"A", "B"}, empty.path());
        bare.press(bare.centreOf(0));
        QCOMPARE(bare.view.viewport()->cursor().shape(), Qt::DragMoveCursor);
        bare.move(bare.centreOf(1));
        QCOMPARE(bare.model.paths(), QStringList({"B", "A"}));
    }

    void edgeScrollingFollowsTheListWhereverTheWindowIs()
    {
        QStringList rows;
        for (int i = 0; i < 60; ++i)
            rows << QString::number(i);
        for (const QPoint windowAt : {QPoint(0, 0), QPoint(700, 500)}) {
            ListFixture f(rows);
            f.window.move(windowAt);
            f.view.scrollTo(f.model.index(30), QAbstractItemView::PositionAtTop);
            const int half = f.view.sizeHintForRow(0) / 2, bottomY = f.view.viewport()->height() - half;
            const auto firstVisible = [&] { return f.view.indexAt(QPoint(5, 1)).row(); };
            const auto drag = [&](int row, QPoint to) { f.press(f.centreOf(row)); f.move(to); f.release(to); };
            drag(31, QPoint(20, half));   // onto the top row: the row above comes into view
            QCOMPARE(f.model.path(30), QStringLiteral("31"));
            QCOMPARE(firstVisible(), 29);
            drag(31, f.centreOf(32));   // in the middle nothing scrolls
            QCOMPARE(firstVisible(), 29);
            const int bottomRow = f.view.indexAt(QPoint(5, bottomY)).row();
            drag(bottomRow - 1, QPoint(20, bottomY));   // onto the bottom row: the row below comes into view
            QVERIFY(f.view.visualRect(f.model.index(bottomRow + 1)).bottom() <= f.view.viewport()->height());
        }
    }

    void heldAtAnEdgeTheRowMovesOnAndKeysKeepItInView()
    {
        QStringList rows;
        for (int i = 0; i < 60; ++i)
            rows << QString::number(i);
        ListFixture f(rows);
        auto *timer = f.view.findChild<QTimer *>("edgeScroll");
        timer->setInterval(std::chrono::hours(1));   // only the test's ticks move the row
        const auto tick = [&] { QTimerEvent event(timer->timerId()); QApplication::sendEvent(timer, &event); };
        const auto firstVisible = [&] { return f.view.indexAt(QPoint(5, 1)).row(); };
        const int half = f.view.sizeHintForRow(0) / 2, height = f.view.viewport()->height();
        f.view.scrollTo(f.model.index(30), QAbstractItemView::PositionAtTop);
        f.press(f.centreOf(31));
        f.move(QPoint(20, half));   // onto the top row, and held there: one row a tick
        for (int i = 0; i < 5; ++i) {
            QVERIFY(timer->isActive());
            tick();
        }
        QCOMPARE(f.model.path(25), QStringLiteral("31"));
        QCOMPARE(f.selectedRow(), 25);
        QCOMPARE(firstVisible(), 24);
        f.move(f.centreOf(25));   // away from the edge: it stops
        QVERIFY(!timer->isActive());
        // At the bottom, anywhere on the last whole row or over a row that
        // shows only in part: each tick moves it one place and scrolls one row.
        QRect lastWhole = f.view.visualRect(f.view.indexAt(QPoint(5, height - 1)));
        if (lastWhole.bottom() >= height)
            lastWhole.translate(0, -lastWhole.height());
        for (const int y : {lastWhole.top(), height - half, height - 1}) {
            f.move(QPoint(20, y));
            QStringList expected = f.model.paths();
            const int row = f.selectedRow(), first = firstVisible();
            for (int i = 1; i <= 3; ++i) {
                tick();
                QCOMPARE(firstVisible(), first + i);
            }
            expected.move(row, row + 3);   // the rows passed over move up one place
            QCOMPARE(f.model.paths(), expected);
            QVERIFY(f.view.visualRect(f.model.index(row + 4)).bottom() <= height);
        }
        f.release(QPoint(20, height - 1));
        QVERIFY(!timer->isActive());

        // Passed slowly, row by row, into the bottom row shown in part: each
        // scroll moves rows under the pointer, yet only the one picture moves.
        ListFixture slow(rows);
        slow.press(slow.centreOf(0));
        for (int y = slow.centreOf(0).y(); y < height; y += 2)
            slow.move(QPoint(20, y));
        slow.release(QPoint(20, height - 1));
        QStringList expected = rows;
        expected.move(0, slow.model.paths().indexOf("0"));
        QCOMPARE(slow.model.paths(), expected);

        // Moved by the keyboard far down, the row stays in view.
        f.view.scrollToTop();
        f.press(f.centreOf(0));
        f.release(f.centreOf(0));
        for (int i = 0; i < 20; ++i)
            QTest::keyClick(&f.view, Qt::Key_Down, Qt::AltModifier);
        QCOMPARE(f.selectedRow(), 20);
        QCOMPARE(f.model.path(20), QStringLiteral("0"));
        QVERIFY(f.view.viewport()->rect().contains(f.view.visualRect(f.model.index(20))));
    }

    void theRowWithTheFocusIsFramed()
    {
        ListFixture f({"A", "B", "C"});
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        f.view.setFocus();
        f.view.selectionModel()->setCurrentIndex(f.model.index(1), QItemSelectionModel::NoUpdate);
        // The frame runs across the whole list, far right of the narrow column.
        const QRect row = f.view.visualRect(f.model.index(1));
        const auto edge = [&] { return f.view.viewport()->grab().toImage().pixel(f.view.viewport()->width() / 2, row.top()); };
        const QRgb focused = edge();
        f.view.clearFocus();
        QVERIFY(edge() != focused);
    }

    void eachRowsTooltipShowsItsPathAndAPreview()
    {
        QTemporaryDir dir;
        QImage photo(1200, 1600, QImage::Format_RGB32);
        photo.fill(Qt::red);
#ifdef Q_OS_WIN
        const QString named = dir.filePath("R&D 'one'.jpg");   // Windows names hold no < or >
#else
        const QString named = dir.filePath("R&D <1>.jpg");
#endif
        QVERIFY(photo.save(named));
        writeTestFile(dir.filePath("notes.jpg"), "not a picture");
        const QStringList rows{named, dir.filePath("gone.jpg"), dir.filePath("notes.jpg")};
        ListFixture f(rows);
        f.view.setToolTip(QStringLiteral("the list's own"));
        const auto hover = [&](QPoint at) {
            QHelpEvent event(QEvent::ToolTip, at, f.view.viewport()->mapToGlobal(at));
            QApplication::sendEvent(f.view.viewport(), &event);
        };
        for (const auto &[row, shown] : {std::pair{0, "<img"}, {1, "This file is gone."}, {2, "This file is not a picture."}}) {
            hover(f.centreOf(row));
            // The path at once; the preview is read on a worker and follows.
            QVERIFY(QToolTip::text().contains(rows[row].toHtmlEscaped()));
            QVERIFY(!QToolTip::text().contains(shown));
            QTRY_VERIFY(QToolTip::text().contains(shown));
        }
        hover(f.centreOf(0));
        QTRY_VERIFY(QToolTip::text().contains("base64,"));
        const QString tip = QToolTip::text();
        const qsizetype data = tip.indexOf("base64,") + 7;
        const QImage preview = QImage::fromData(QByteArray::fromBase64(tip.mid(data, tip.indexOf('"', data) - data).toLatin1()));
        QCOMPARE(preview.size(), QSize(120, 160));
        QVERIFY(qRed(preview.pixel(60, 80)) > 200 && qGreen(preview.pixel(60, 80)) < 50);
        hover(f.centreOf(0) + QPoint(40, 0));   // Qt asks again as the pointer moves along the row
        QCOMPARE(QToolTip::text(), tip);

        hover(f.below());
        QCOMPARE(QToolTip::text(), QStringLiteral("the list's own"));
    }

    void dropsAppendLocalFilesAsCopies()
    {
        QList<QUrl> files;
        for (const char *path : {"/p/b.jpg", "/p/a.txt", "/p/b.jpg", "/p"})
            files << QUrl::fromLocalFile(path);
        // A click must not switch drops off; Shift asks to move, the list copies.
        for (const auto &[urls, shiftAfterAClick] : {std::pair{files, false}, {files, true}, {QList<QUrl>(), false},
                                                     {QList<QUrl>{QUrl("https://example.org/a.jpg")}, false}}) {
            ListFixture f({"/existing.jpg"});
            if (shiftAfterAClick) {
                f.press(f.centreOf(0));
                f.release(f.centreOf(0));
            }
            QMimeData data;   // also as plain text and as rows of another list: neither is taken
            data.setUrls(urls);
            data.setText("/home/user/a.jpg");
            data.setData("application/x-qabstractitemmodeldatalist", QByteArray("rows"));
            const Qt::KeyboardModifiers keys = shiftAfterAClick ? Qt::ShiftModifier : Qt::NoModifier;
            const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
            QDragEnterEvent enter(QPoint(30, 10), offered, &data, Qt::LeftButton, keys);
            QDragMoveEvent move(QPoint(30, 10), offered, &data, Qt::LeftButton, keys);
            QDropEvent drop(QPoint(30, 10), offered, &data, Qt::LeftButton, keys);
            bool taken = true;
            for (QDropEvent *event : {static_cast<QDropEvent *>(&enter), static_cast<QDropEvent *>(&move), &drop}) {
                event->setDropAction(shiftAfterAClick ? Qt::MoveAction : Qt::CopyAction);
                taken = taken && (QApplication::sendEvent(f.view.viewport(), event), event->isAccepted());
            }
            QCOMPARE(taken, urls == files);
            QStringList expected{"/existing.jpg"};
            for (const QUrl &url : taken ? urls : QList<QUrl>())
                expected << QDir::toNativeSeparators(url.toLocalFile());
            QCOMPARE(f.model.paths(), expected);
            QVERIFY(!taken || drop.dropAction() == Qt::CopyAction);
        }
    }
};

PICTOREEL_TEST_MAIN(TestImageList)
#include "tst_imagelist.moc"
