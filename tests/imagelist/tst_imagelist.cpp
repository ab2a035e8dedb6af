// The image list: the model, reordering by dragging, removal and file drops,
// driven through real mouse and drag events on the view.
#include "TestMain.h"

#include "ImageListModel.h"
#include "ImageListView.h"
#include "WindowPointer.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QMimeData>
#include <QScrollBar>
#include <QTemporaryDir>

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
    void doubleClick(QPoint at)
    {
        send(QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton);
        release(at);
    }
    int selectedRow()
    {
        const QModelIndexList rows = view.selectionModel()->selectedRows();
        return rows.isEmpty() ? -1 : rows.first().row();
    }

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
        QCOMPARE(model.paths(), QStringList({"/a.jpg", "/c.jpg", "/a.jpg", "/b.jpg"}));
        QCOMPARE(model.count(), 4);
        model.setText(1, "/z.jpg");
        model.remove(0);
        QCOMPARE(model.paths(), QStringList({"/z.jpg", "/a.jpg", "/b.jpg"}));
        QVERIFY(!(model.flags(model.index(0)) & Qt::ItemIsEditable));
        QVERIFY(!(model.flags(model.index(0)) & Qt::ItemIsDropEnabled));
    }

    // Steps, by row ("_": under the last row): p/P press left/right, m/M move
    // holding left/right, n move with no button, r/R release, d double-click,
    // f focus leaves, w window deactivated, x remove the row from the model,
    // c check that no drag is on and the pointer is back.
    void mouseStepsReorderAndRemove_data()
    {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<int>("selected");   // -2: not checked
        const QStringList abcd{"A", "B", "C", "D"}, abc{"A", "B", "C"};
        QTest::newRow("row by row") << abcd << "p0 m1 m2 m3 r3" << QStringList{"B", "C", "D", "A"} << 3;
        QTest::newRow("one jump exchanges two") << abcd << "p0 m3 r3" << QStringList{"D", "B", "C", "A"} << 3;
        QTest::newRow("equal texts") << QStringList{"A", "B", "A", "C"} << "p0 m2" << QStringList{"A", "B", "A", "C"} << 0;
        QTest::newRow("press outside, any button") << abcd << "p1 r1 P_ M3 R3 c" << QStringList{"A", "D", "C", "B"} << -2;
        QTest::newRow("moves without a drag") << abc << "n0 n1 n2 p_ m0" << abc << -2;
        QTest::newRow("drag ends: move with no button") << abc << "p0 n2 c p0 m1" << QStringList{"B", "A", "C"} << -2;
        QTest::newRow("drag ends: focus leaves") << abc << "p0 f c p0 m1" << QStringList{"B", "A", "C"} << -2;
        QTest::newRow("drag ends: modal box") << abc << "p0 w c p0 m1" << QStringList{"B", "A", "C"} << -2;
        QTest::newRow("double-click on empty list") << QStringList{} << "d_" << QStringList{} << -2;
        QTest::newRow("double-click, none selected") << abc << "d_" << abc << -2;
        QTest::newRow("double-click removes selected") << abc << "p1 r1 d_" << QStringList{"A", "C"} << -2;
        QTest::newRow("removed row not dragged") << abcd << "p1 r1 d1 p_ m0 m2 r2" << QStringList{"A", "C", "D"} << -2;
        QTest::newRow("other row removed") << abcd << "p2 r2 x0 p_ m0 r0" << QStringList{"C", "B", "D"} << -2;
    }

    void mouseStepsReorderAndRemove()
    {
        QFETCH(QStringList, rows);
        QFETCH(QString, steps);
        QFETCH(QStringList, expected);
        QFETCH(int, selected);
        ListFixture f(rows);
        for (const QString &step : steps.split(' ')) {
            const QPoint at = step.size() < 2 ? QPoint() : step[1] == '_' ? f.below() : f.centreOf(step.mid(1).toInt());
            QFocusEvent focusOut(QEvent::FocusOut, Qt::OtherFocusReason);
            QEvent deactivate(QEvent::WindowDeactivate);
            switch (step[0].toLatin1()) {
            case 'p': f.press(at); break;
            case 'P': f.press(at, Qt::RightButton); break;
            case 'm': f.move(at); break;
            case 'M': f.move(at, Qt::RightButton); break;
            case 'n': f.move(at, Qt::NoButton); break;
            case 'r': f.release(at); break;
            case 'R': f.release(at, Qt::RightButton); break;
            case 'd': f.doubleClick(at); break;
            case 'f': QApplication::sendEvent(&f.view, &focusOut); break;
            case 'w': QApplication::sendEvent(&f.window, &deactivate); break;
            case 'x': f.model.remove(step.mid(1).toInt()); break;
            case 'c':
                QVERIFY(!f.view.isDragging());
                QCOMPARE(f.view.viewport()->cursor().shape(), Qt::ArrowCursor);
                break;
            }
        }
        QCOMPARE(f.model.paths(), expected);
        if (selected != -2)
            QCOMPARE(f.selectedRow(), selected);
    }

    void dragPointerFromTheClickUntilTheRelease()
    {
        ListFixture f({"A", "B"});
        f.press(f.centreOf(0));
        const QCursor during = f.view.viewport()->cursor();
        QCOMPARE(during.shape(), Qt::BitmapCursor);   // drawn from drag.ico
        QCOMPARE(during.hotSpot(), QPoint(16, 16));
        f.release(f.centreOf(0));
        QCOMPARE(f.view.viewport()->cursor().shape(), Qt::ArrowCursor);

        // Without drag.ico the click still remembers the row and shows a pointer.
        QTemporaryDir empty;
        ListFixture bare({"A", "B"}, empty.path());
        bare.press(bare.centreOf(0));
        QCOMPARE(bare.view.viewport()->cursor().shape(), Qt::DragMoveCursor);
        bare.move(bare.centreOf(1));
        QCOMPARE(bare.model.paths(), QStringList({"B", "A"}));
    }

    void busyPointerCoversTheListUntilItEnds()
    {
        ListFixture f({"A", "B"});
        f.pointer.coverWhenBusy(f.view.viewport(), [&] { f.view.restoreOwnPointer(); });
        f.pointer.set(WindowPointer::Shape::Busy);
        f.press(f.centreOf(0));
        QCOMPARE(f.view.viewport()->cursor().shape(), Qt::WaitCursor);
        f.pointer.set(WindowPointer::Shape::Default);
        QCOMPARE(f.view.viewport()->cursor().shape(), Qt::BitmapCursor);
    }

    void edgeScrollingFollowsTheListWhereverTheWindowIs()
    {
        for (const QPoint windowAt : {QPoint(0, 0), QPoint(700, 500)}) {
            QStringList rows;
            for (int i = 0; i < 60; ++i)
                rows << QStringLiteral("/pictures/%1.jpg").arg(i);
            ListFixture f(rows);
            f.window.move(windowAt);
            f.view.scrollTo(f.model.index(30), QAbstractItemView::PositionAtTop);
            const int rowHeight = f.view.sizeHintForRow(0);
            auto firstVisible = [&] { return f.view.indexAt(QPoint(5, 1)).row(); };
            QCOMPARE(firstVisible(), 30);

            // m_dragging onto the top visible row shows the row above it.
            f.press(f.centreOf(31));
            f.move(QPoint(20, rowHeight / 2));
            QCOMPARE(f.model.text(30), QStringLiteral("/pictures/31.jpg"));
            QCOMPARE(firstVisible(), 29);
            f.release(QPoint(20, rowHeight / 2));

            // In the middle of the list nothing scrolls.
            f.press(f.centreOf(31));
            f.move(f.centreOf(32));
            QCOMPARE(firstVisible(), 29);
            f.release(f.centreOf(32));

            // Onto the bottom visible row: the row below it comes into view.
            const int bottomY = f.view.viewport()->height() - rowHeight / 2;
            const int bottomRow = f.view.indexAt(QPoint(5, bottomY)).row();
            f.press(f.centreOf(bottomRow - 1));
            f.move(QPoint(20, bottomY));
            QVERIFY(f.view.visualRect(f.model.index(bottomRow + 1)).bottom() <= f.view.viewport()->height());
            f.release(QPoint(20, bottomY));
        }
    }

    void dropsAppendLocalFilesAsCopies()
    {
        QList<QUrl> files;
        for (const char *path : {"/p/b.jpg", "/p/a.txt", "/p/b.jpg", "/p"})
            files << QUrl::fromLocalFile(path);
        // A click must not switch drops off; Shift asks to move, the list copies.
        for (const auto &[urls, shiftAfterAClick, accepted] :
             {std::tuple{files, false, true}, {files, true, true}, {QList<QUrl>(), false, false},
              {QList<QUrl>{QUrl("https://example.org/a.jpg")}, false, false}}) {
            ListFixture f({"/existing.jpg"});
            if (shiftAfterAClick) {
                f.press(f.centreOf(0));
                f.release(f.centreOf(0));
            }
            QMimeData data;   // also as plain text and as rows of another list: neither is taken
            data.setUrls(urls);
            data.setText("/home/user/a.jpg");
            data.setData("application/x-qabstractitemmodeldatalist", QByteArray("rows"));
            const QPoint at(30, 10);
            const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
            const Qt::KeyboardModifiers keys = shiftAfterAClick ? Qt::ShiftModifier : Qt::NoModifier;
            QDragEnterEvent enter(at, offered, &data, Qt::LeftButton, keys);
            QDragMoveEvent move(at, offered, &data, Qt::LeftButton, keys);
            QDropEvent drop(at, offered, &data, Qt::LeftButton, keys);
            bool taken = true;
            for (QDropEvent *event : {static_cast<QDropEvent *>(&enter), static_cast<QDropEvent *>(&move), &drop}) {
                event->setDropAction(shiftAfterAClick ? Qt::MoveAction : Qt::CopyAction);
                if (taken) {
                    QApplication::sendEvent(f.view.viewport(), event);
                    taken = event->isAccepted();
                }
            }
            QCOMPARE(taken, accepted);
            QStringList expected{"/existing.jpg"};
            if (accepted) {
                QCOMPARE(drop.dropAction(), Qt::CopyAction);
                for (const QUrl &url : urls)
                    expected << QDir::toNativeSeparators(url.toLocalFile());
            }
            QCOMPARE(f.model.paths(), expected);
        }
    }
};

PICTOREEL_TEST_MAIN(TestImageList)
#include "tst_imagelist.moc"
