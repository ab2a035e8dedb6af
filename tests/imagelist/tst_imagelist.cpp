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

QMimeData *files(const QStringList &paths)
{
    auto *data = new QMimeData;
    QList<QUrl> urls;
    for (const QString &path : paths)
        urls << QUrl::fromLocalFile(path);
    data->setUrls(urls);
    return data;
}

// Drags the data over the list and drops it; returns the action accepted, or
// IgnoreAction when the list refused it.
Qt::DropAction dropOn(ImageListView &view, QMimeData *data, Qt::KeyboardModifiers keys = Qt::NoModifier,
                      Qt::DropAction proposed = Qt::CopyAction)
{
    const QPoint at(30, 10);
    const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
    QDragEnterEvent enter(at, offered, data, Qt::LeftButton, keys);
    enter.setDropAction(proposed);
    QApplication::sendEvent(view.viewport(), &enter);
    if (!enter.isAccepted())
        return Qt::IgnoreAction;
    QDragMoveEvent move(at, offered, data, Qt::LeftButton, keys);
    move.setDropAction(proposed);
    QApplication::sendEvent(view.viewport(), &move);
    if (!move.isAccepted())
        return Qt::IgnoreAction;
    QDropEvent drop(at, offered, data, Qt::LeftButton, keys);
    drop.setDropAction(proposed);
    QApplication::sendEvent(view.viewport(), &drop);
    return drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction;
}

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

    void draggingRowByRowMovesThePicture()
    {
        ListFixture f({"A", "B", "C", "D"});
        f.press(f.centreOf(0));
        for (int row = 1; row < 4; ++row)
            f.move(f.centreOf(row));
        f.release(f.centreOf(3));
        QCOMPARE(f.model.paths(), QStringList({"B", "C", "D", "A"}));
        QCOMPARE(f.selectedRow(), 3);
    }

    void oneJumpExchangesOnlyTheTwoRows()
    {
        ListFixture f({"A", "B", "C", "D"});
        f.press(f.centreOf(0));
        f.move(f.centreOf(3));
        f.release(f.centreOf(3));
        QCOMPARE(f.model.paths(), QStringList({"D", "B", "C", "A"}));
        QCOMPARE(f.selectedRow(), 3);
    }

    void equalTextsExchangeNothing()
    {
        ListFixture f({"A", "B", "A", "C"});
        f.press(f.centreOf(0));
        f.move(f.centreOf(2));
        QCOMPARE(f.model.paths(), QStringList({"A", "B", "A", "C"}));
        QCOMPARE(f.selectedRow(), 0);
        QCOMPARE(f.view.verticalScrollBar()->value(), 0);
    }

    void aPressOutsideEveryRowCarriesTheRememberedPicture()
    {
        ListFixture f({"A", "B", "C", "D"});
        f.press(f.centreOf(1));
        f.release(f.centreOf(1));
        f.press(f.below(), Qt::RightButton);   // any button starts a drag
        QVERIFY(f.view.isDragging());
        f.move(f.centreOf(3), Qt::RightButton);
        f.release(f.centreOf(3), Qt::RightButton);
        QVERIFY(!f.view.isDragging());
        QCOMPARE(f.model.paths(), QStringList({"A", "D", "C", "B"}));
    }

    void movesWithoutADragChangeNothing()
    {
        ListFixture f({"A", "B", "C"});
        for (int row = 0; row < 3; ++row)
            f.move(f.centreOf(row), Qt::NoButton);
        QCOMPARE(f.model.paths(), QStringList({"A", "B", "C"}));
        f.press(f.below());
        f.move(f.centreOf(0));   // nothing remembered yet
        QCOMPARE(f.model.paths(), QStringList({"A", "B", "C"}));
    }

    void aDragEndsWhenTheButtonIsNoLongerHeld_data()
    {
        QTest::addColumn<int>("ending");
        QTest::newRow("a move with no button") << int(QEvent::MouseMove);
        QTest::newRow("the focus goes elsewhere") << int(QEvent::FocusOut);
        QTest::newRow("a modal box deactivates the window") << int(QEvent::WindowDeactivate);
    }

    void aDragEndsWhenTheButtonIsNoLongerHeld()
    {
        QFETCH(int, ending);
        ListFixture f({"A", "B", "C"});
        f.press(f.centreOf(0));
        QFocusEvent focusOut(QEvent::FocusOut, Qt::OtherFocusReason);
        QEvent deactivate(QEvent::WindowDeactivate);
        if (ending == QEvent::MouseMove)
            f.move(f.centreOf(2), Qt::NoButton);
        else
            QApplication::sendEvent(ending == QEvent::FocusOut ? static_cast<QObject *>(&f.view) : &f.window,
                                    ending == QEvent::FocusOut ? &focusOut : &deactivate);
        QVERIFY(!f.view.isDragging());
        QCOMPARE(f.view.viewport()->cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(f.model.paths(), QStringList({"A", "B", "C"}));
        f.press(f.centreOf(0));   // and the next press drags again
        f.move(f.centreOf(1));
        QCOMPARE(f.model.paths(), QStringList({"B", "A", "C"}));
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

    void doubleClickRemovesTheSelectedRowOnly()
    {
        ListFixture empty;
        empty.doubleClick(QPoint(20, 20));
        QCOMPARE(empty.model.count(), 0);

        ListFixture f({"A", "B", "C"});
        f.doubleClick(f.below());   // nothing selected
        QCOMPARE(f.model.count(), 3);
        f.press(f.centreOf(1));
        f.release(f.centreOf(1));
        f.doubleClick(f.below());   // anywhere on the list: the selected row goes
        QCOMPARE(f.model.paths(), QStringList({"A", "C"}));
    }

    void aRemovedRowIsNeverDraggedAgain()
    {
        ListFixture f({"A", "B", "C", "D"});
        f.press(f.centreOf(1));
        f.release(f.centreOf(1));
        f.doubleClick(f.centreOf(1));   // removes B, the remembered row
        QCOMPARE(f.model.paths(), QStringList({"A", "C", "D"}));
        QVERIFY(!f.view.dragItem().isValid());
        f.press(f.below());
        f.move(f.centreOf(0));
        f.move(f.centreOf(2));
        f.release(f.centreOf(2));
        QCOMPARE(f.model.paths(), QStringList({"A", "C", "D"}));

        // Removing another row keeps the remembered picture.
        f.press(f.centreOf(2));
        f.release(f.centreOf(2));
        f.model.remove(0);
        QCOMPARE(f.model.text(f.view.dragItem().row()), QStringLiteral("D"));
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

    void droppedFilesAreAppendedInOrder()
    {
        QTemporaryDir dir;
        ListFixture f({"/existing.jpg"});
        const QStringList paths{dir.filePath("b.jpg"), dir.filePath("a.txt"), dir.filePath("b.jpg"), dir.path()};
        QCOMPARE(dropOn(f.view, files(paths)), Qt::CopyAction);
        QStringList expected{"/existing.jpg"};
        for (const QString &path : paths)
            expected << QDir::toNativeSeparators(path);
        QCOMPARE(f.model.paths(), expected);
    }

    void onlyLocalFilesAreAccepted()
    {
        ListFixture f({"/existing.jpg"});
        auto *text = new QMimeData;
        text->setText("/home/user/a.jpg");
        QCOMPARE(dropOn(f.view, text), Qt::IgnoreAction);
        auto *web = new QMimeData;
        web->setUrls({QUrl("https://example.org/a.jpg")});
        QCOMPARE(dropOn(f.view, web), Qt::IgnoreAction);
        auto *rows = new QMimeData;
        rows->setData("application/x-qabstractitemmodeldatalist", QByteArray("rows"));
        QCOMPARE(dropOn(f.view, rows), Qt::IgnoreAction);
        QCOMPARE(f.model.paths(), QStringList({"/existing.jpg"}));
        delete text;
        delete web;
        delete rows;
    }

    void dropsAreCopiesEvenWithShiftAndAfterAClick()
    {
        ListFixture f({"/a.jpg", "/b.jpg"});
        f.press(f.centreOf(0));   // an item click must not switch drops off
        f.release(f.centreOf(0));
        auto *data = files({"/pictures/c.jpg"});
        QCOMPARE(dropOn(f.view, data, Qt::ShiftModifier, Qt::MoveAction), Qt::CopyAction);
        QCOMPARE(f.model.paths(), QStringList({"/a.jpg", "/b.jpg", "/pictures/c.jpg"}));
        delete data;
    }
};

PICTOREEL_TEST_MAIN(TestImageList)
#include "tst_imagelist.moc"
