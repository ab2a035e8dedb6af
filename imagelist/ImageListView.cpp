#include "ImageListView.h"

#include "ImageListModel.h"
#include "CursorFile.h"
#include "PicturePreview.h"
#include "WindowPointer.h"

#include <QBuffer>
#include <QDir>
#include <QDragEnterEvent>
#include <QHeaderView>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>

#include <cstdlib>
#include <utility>

namespace {

constexpr int kEdgeScrollInterval = 100;   // ms a row, while a dragged row is held at an edge
constexpr int kPreviewSide = 160;          // pixels

} // namespace

ImageListView::ImageListView(ImageListModel *model, WindowPointer *windowPointer, QString dragIconPath,
                             QWidget *parent)
    : QTreeView(parent), m_model(model), m_windowPointer(windowPointer),
      m_dragIconPath(std::move(dragIconPath)), m_previews(new PreviewLoader(kPreviewSide, this))
{
    setModel(model);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);   // without it 100,000 rows take seconds to lay out
    setAllColumnsShowFocus(true);   // the focused row is repainted whole when the focus moves
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

    m_edgeScroll.setObjectName(QStringLiteral("edgeScroll"));
    m_edgeScroll.setInterval(kEdgeScrollInterval);
    connect(&m_edgeScroll, &QTimer::timeout, this, &ImageListView::stepAtEdge);
    connect(m_previews, &PreviewLoader::ready, this, &ImageListView::addPreviewToTip);
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

QModelIndex ImageListView::rowAt(QPoint position) const
{
    // Wherever across the list: its one column is narrow, and a row's frame
    // and selection run the list's whole width.
    return indexAt(QPoint(header()->sectionViewportPosition(0), position.y()));
}

void ImageListView::mousePressEvent(QMouseEvent *event)
{
    // The item click (Qt selects the row under the press) reaches us before any
    // move of the same press, so m_dragRow is the pressed row when moves arrive.
    // A press below the rows leaves the selection as it is, where Qt would
    // clear it: a double-click anywhere on the list removes the selected row.
    m_dragPosition = event->position().toPoint();
    if (rowAt(m_dragPosition).isValid()) {
        QMouseEvent inColumn(event->type(), QPointF(header()->sectionViewportPosition(0), event->position().y()),
                             event->scenePosition(), event->globalPosition(), event->button(), event->buttons(),
                             event->modifiers(), event->pointingDevice());
        QTreeView::mousePressEvent(&inColumn);
        pickDragRow();
    }
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
    const QPoint previous = std::exchange(m_dragPosition, position);
    // Started once: restarted at every move, a hand that trembles at the edge
    // would keep it from ever firing.
    if (atEdge(position) && m_dragRow.isValid()) {
        if (!m_edgeScroll.isActive())
            m_edgeScroll.start();
    } else
        m_edgeScroll.stop();
    const QModelIndex target = rowAt(position);
    // A removed row leaves m_dragRow invalid: such a drag moves nothing.
    if (!target.isValid() || !m_dragRow.isValid())
        return;
    const int dragRow = m_dragRow.row();
    int targetRow = target.row();
    // Where the list scrolls on, it moves rows under a pointer that barely
    // moved: a move of less than a row there steps one place, so no row is
    // passed over. A longer one exchanges the two rows it joins, as anywhere.
    if (std::abs(targetRow - dragRow) > 1 && std::abs(position.y() - previous.y()) < sizeHintForRow(0)
        && scrollsOn(position))
        targetRow = dragRow + (targetRow > dragRow ? 1 : -1);
    if (m_model->path(dragRow) == m_model->path(targetRow))
        return;
    exchange(dragRow, targetRow);
    scrollNearEdge(position, targetRow);
}

void ImageListView::exchange(int dragRow, int targetRow)
{
    // The model moves the rows: m_dragRow follows the picture to targetRow.
    m_model->exchange(dragRow, targetRow);
    selectionModel()->setCurrentIndex(m_model->index(targetRow), QItemSelectionModel::ClearAndSelect);
}

void ImageListView::stepAtEdge()
{
    // Held at an edge, the row moves on one place a tick towards it, whatever
    // row lies under the pointer; the list keeps the row beyond it in view.
    if (!m_dragging || !m_dragRow.isValid() || !atEdge(m_dragPosition))
        return;
    const int dragRow = m_dragRow.row();
    const int next = dragRow + (m_dragPosition.y() < viewport()->height() / 2 ? -1 : 1);
    if (next < 0 || next >= m_model->count())
        return;
    exchange(dragRow, next);
    scrollNearEdge(m_dragPosition, next);
}

bool ImageListView::atEdge(QPoint position) const
{
    // In the top row or the bottom row of the visible list; a row shown only
    // in part counts together with the whole one beside it.
    const int height = viewport()->height(), rowHeight = qMax(1, sizeHintForRow(0));
    if (position.y() < 0 || position.y() >= height)
        return false;
    int topEnd = rowHeight, bottomStart = height - rowHeight;
    if (const QModelIndex first = rowAt(QPoint(0, 0)); first.isValid()) {
        const QRect row = visualRect(first);
        topEnd = row.bottom() + 1 + (row.top() < 0 ? rowHeight : 0);
    }
    if (const QModelIndex last = rowAt(QPoint(0, height - 1)); last.isValid()) {
        const QRect row = visualRect(last);
        bottomStart = row.top() - (row.bottom() >= height ? rowHeight : 0);
    }
    return position.y() < topEnd || position.y() >= bottomStart;
}

bool ImageListView::scrollsOn(QPoint position) const
{
    // At an edge with more rows beyond it.
    const QScrollBar *bar = verticalScrollBar();
    return atEdge(position)
        && (position.y() < viewport()->height() / 2 ? bar->value() > bar->minimum() : bar->value() < bar->maximum());
}

void ImageListView::scrollNearEdge(QPoint position, int targetRow)
{
    // Only right after an exchange, by at most one row: the previous row when
    // the pointer is in the top row of the visible list, the next one when it is
    // in the bottom row. Measured in the list itself, wherever the window is.
    if (!atEdge(position))
        return;
    if (position.y() < viewport()->height() / 2) {
        if (targetRow >= 1)
            scrollTo(m_model->index(targetRow - 1));
    } else if (targetRow + 1 < m_model->count()) {
        scrollTo(m_model->index(targetRow + 1));
    }
}

void ImageListView::endDrag()
{
    m_dragging = false;
    m_edgeScroll.stop();
    setOwnPointer(QCursor(Qt::ArrowCursor));
}

void ImageListView::removeSelectedRow()
{
    const QModelIndexList selected = selectionModel()->selectedRows();
    if (selected.isEmpty())
        return;   // nothing selected: nothing to remove, nothing to report
    m_model->remove(selected.first().row());
}

void ImageListView::moveSelectedRow(int by)
{
    const QModelIndexList selected = selectionModel()->selectedRows();
    const int row = selected.isEmpty() ? -1 : selected.first().row(), to = row + by;
    if (row < 0 || to < 0 || to >= m_model->count())
        return;
    m_model->exchange(row, to);
    selectionModel()->setCurrentIndex(m_model->index(to), QItemSelectionModel::ClearAndSelect);
    scrollTo(m_model->index(to));
}

void ImageListView::keyPressEvent(QKeyEvent *event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const int key = event->key();
    if (modifiers == Qt::NoModifier && (key == Qt::Key_Delete || key == Qt::Key_Backspace)) {
        const QModelIndexList selected = selectionModel()->selectedRows();
        removeSelectedRow();
        // The row that takes its place is selected, so that Delete goes on down the list.
        if (!selected.isEmpty() && m_model->count() > 0) {
            const QModelIndex next = m_model->index(qMin(selected.first().row(), m_model->count() - 1));
            selectionModel()->setCurrentIndex(next, QItemSelectionModel::ClearAndSelect);
            scrollTo(next);
        }
    } else if (modifiers == Qt::AltModifier && (key == Qt::Key_Up || key == Qt::Key_Down)) {
        moveSelectedRow(key == Qt::Key_Up ? -1 : 1);
    } else {
        QTreeView::keyPressEvent(event);
    }
}

void ImageListView::focusInEvent(QFocusEvent *event)
{
    // Reached by the keyboard, the list selects the row it frames, so the keys
    // act on the row the user sees.
    QTreeView::focusInEvent(event);
    const bool byKeyboard = event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason;
    if (byKeyboard && currentIndex().isValid() && !selectionModel()->hasSelection())
        selectionModel()->select(currentIndex(), QItemSelectionModel::ClearAndSelect);
}

void ImageListView::drawRow(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QTreeView::drawRow(painter, option, index);
    // The row with the keyboard focus is framed across the whole list, not
    // only in the narrow column.
    if (!hasFocus() || index != currentIndex())
        return;
    QStyleOptionFocusRect frame;
    frame.initFrom(this);
    frame.rect = QRect(0, option.rect.top(), viewport()->width(), option.rect.height());
    frame.state |= QStyle::State_HasFocus | QStyle::State_KeyboardFocusChange;
    frame.backgroundColor = palette().color(selectionModel()->isSelected(index) ? QPalette::Highlight : QPalette::Base);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &frame, painter, this);
}

bool ImageListView::viewportEvent(QEvent *event)
{
    // Over a row, the row's own tooltip; elsewhere the list's.
    if (event->type() == QEvent::ToolTip) {
        const auto *help = static_cast<QHelpEvent *>(event);
        const QModelIndex index = rowAt(help->pos());
        if (index.isValid()) {
            showRowTip(index, help->globalPos());
            return true;
        }
    }
    return QTreeView::viewportEvent(event);
}

void ImageListView::showRowTip(const QModelIndex &index, QPoint globalPosition)
{
    const QString path = m_model->path(index.row());
    const QRect row = visualRect(index);
    const QRect across(0, row.top(), viewport()->width(), row.height());
    // Qt asks again at each move over the row: a tip already shown for it, or
    // its preview on the way, is left as it is, not read and drawn again.
    if (path == m_tip.path && across == m_tip.rect && QToolTip::isVisible() && QToolTip::text() == m_tip.text)
        return;
    // The path at once; the preview joins it when the worker has read it.
    m_tip = {path, QStringLiteral("<p style='white-space:pre'>%1</p>").arg(path.toHtmlEscaped()), globalPosition,
             across};
    QToolTip::showText(globalPosition, m_tip.text, viewport(), m_tip.rect);
    m_previews->request(path);
}

void ImageListView::addPreviewToTip(const QString &path, const Preview &preview)
{
    // Only while the tooltip is still the one that asked for this picture.
    if (path != m_tip.path || !QToolTip::isVisible() || QToolTip::text() != m_tip.text)
        return;
    QString shown = preview.problem.toHtmlEscaped();
    if (!preview.image.isNull()) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        preview.image.save(&buffer, "PNG");
        shown = QStringLiteral("<img src=\"data:image/png;base64,%1\" width=%2 height=%3>")
                    .arg(QString::fromLatin1(png.toBase64()))
                    .arg(preview.image.width())
                    .arg(preview.image.height());
    }
    m_tip.text += QStringLiteral("<p>%1</p>").arg(shown);   // below the path, a paragraph of its own
    QToolTip::showText(m_tip.globalPosition, m_tip.text, viewport(), m_tip.rect);
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
