#include "ImageListView.h"

#include "ImageListModel.h"
#include "CursorFile.h"
#include "WindowPointer.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QHeaderView>
#include <QMimeData>
#include <QMouseEvent>

ImageListView::ImageListView(ImageListModel *model, WindowPointer *windowPointer, QString dragIconPath,
                             QWidget *parent)
    : QTreeView(parent), m_model(model), m_windowPointer(windowPointer),
      m_dragIconPath(std::move(dragIconPath))
{
    setModel(model);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);   // without it 100,000 rows take seconds to lay out
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    header()->setStretchLastSection(false);
    header()->setSectionsClickable(false);
    header()->setSectionsMovable(false);
    setMouseTracking(true);

    // Reordering is ours; the list only ever receives drops of files.
    setDragEnabled(false);
    setAcceptDrops(true);
    setDropIndicatorShown(false);
}

void ImageListView::setOwnPointer(const QCursor &cursor)
{
    m_ownPointer = cursor;
    if (!m_windowPointer || !m_windowPointer->isBusy())
        viewport()->setCursor(cursor);
}

void ImageListView::restoreOwnPointer()
{
    if (m_ownPointer)
        viewport()->setCursor(*m_ownPointer);
    else
        viewport()->unsetCursor();
}

void ImageListView::mousePressEvent(QMouseEvent *event)
{
    // The item click (Qt selects the row under the press) reaches us before any
    // move of the same press, so m_dragRow is the pressed row when moves arrive.
    QTreeView::mousePressEvent(event);
    if (indexAt(event->position().toPoint()).isValid())
        pickDragRow();
    beginDrag();
}

bool ImageListView::event(QEvent *event)
{
    // A modal box or another window takes the mouse and with it the release:
    // losing the focus or the active window ends a drag as a release does.
    if (m_dragging && (event->type() == QEvent::FocusOut || event->type() == QEvent::WindowDeactivate))
        endDrag();
    return QTreeView::event(event);
}

void ImageListView::mouseMoveEvent(QMouseEvent *event)
{
    // A release we never saw (it went elsewhere) shows as a move with no button.
    if (m_dragging && event->buttons() == Qt::NoButton)
        endDrag();
    dragTo(event->position().toPoint());
    // While dragging, Qt's own handling would move the selection with the
    // pointer; the exchange already selects the row that holds the picture.
    if (!m_dragging)
        QTreeView::mouseMoveEvent(event);
}

void ImageListView::mouseReleaseEvent(QMouseEvent *event)
{
    QTreeView::mouseReleaseEvent(event);
    endDrag();
}

void ImageListView::mouseDoubleClickEvent(QMouseEvent *)
{
    removeSelectedRow();
}

void ImageListView::pickDragRow()
{
    // Read at every click, so a replaced file shows at once; without it a
    // standard drag pointer stands in.
    setOwnPointer(loadCursor(m_dragIconPath).value_or(QCursor(Qt::DragMoveCursor)));
    m_dragRow = currentIndex().isValid() && selectionModel()->isSelected(currentIndex())
        ? QPersistentModelIndex(currentIndex()) : QPersistentModelIndex();
}

void ImageListView::beginDrag()
{
    m_dragging = true;
}

void ImageListView::dragTo(QPoint position)
{
    if (m_windowPointer)
        m_windowPointer->hover(WindowPointer::Shape::Default);
    if (!m_dragging)
        return;
    const QModelIndex target = indexAt(position);
    // A removed row leaves m_dragRow invalid: such a drag moves nothing.
    if (!target.isValid() || !m_dragRow.isValid())
        return;
    const int dragRow = m_dragRow.row(), targetRow = target.row();
    if (m_model->text(dragRow) == m_model->text(targetRow))
        return;
    exchange(dragRow, targetRow);
    scrollNearEdge(position, targetRow);
}

void ImageListView::exchange(int dragRow, int targetRow)
{
    const QString moving = m_model->text(dragRow);
    m_model->setText(dragRow, m_model->text(targetRow));
    m_model->setText(targetRow, moving);
    const QModelIndex target = m_model->index(targetRow);
    selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect);
    m_dragRow = target;
}

void ImageListView::scrollNearEdge(QPoint position, int targetRow)
{
    // Only right after an exchange, by at most one row: the previous row when
    // the pointer is in the top row of the visible list, the next one when it is
    // in the bottom row. Measured in the list itself, wherever the window is.
    const int rowHeight = qMax(1, sizeHintForRow(0));
    if (position.y() < rowHeight) {
        if (targetRow >= 1)
            scrollTo(m_model->index(targetRow - 1));
    } else if (position.y() >= viewport()->height() - rowHeight) {
        if (targetRow + 1 < m_model->count())
            scrollTo(m_model->index(targetRow + 1));
    }
}

void ImageListView::endDrag()
{
    m_dragging = false;
    setOwnPointer(QCursor(Qt::ArrowCursor));
}

void ImageListView::removeSelectedRow()
{
    const QModelIndexList selected = selectionModel()->selectedRows();
    if (selected.isEmpty())
        return;   // nothing selected: nothing to remove, nothing to report
    m_model->remove(selected.first().row());
}

bool ImageListView::isFileDrop(const QMimeData *data) const
{
    if (!data || !data->hasUrls() || data->urls().isEmpty())
        return false;
    for (const QUrl &url : data->urls())
        if (!url.isLocalFile())
            return false;
    return true;
}

void ImageListView::appendDroppedFiles(const QMimeData *data)
{
    QStringList paths;
    for (const QUrl &url : data->urls())
        paths << QDir::toNativeSeparators(url.toLocalFile());
    m_model->append(paths);
}

// A drop only reads paths. The action is always copy, also when the user holds
// Shift: a "move" would let the file manager delete the originals.
void ImageListView::dragEnterEvent(QDragEnterEvent *event)
{
    dragMoveEvent(event);
}

void ImageListView::dragMoveEvent(QDragMoveEvent *event)
{
    if (isFileDrop(event->mimeData()) && (event->possibleActions() & Qt::CopyAction)) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void ImageListView::dropEvent(QDropEvent *event)
{
    if (!isFileDrop(event->mimeData()) || !(event->possibleActions() & Qt::CopyAction)) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    appendDroppedFiles(event->mimeData());
}
