#pragma once

#include <QCursor>
#include <QPersistentModelIndex>
#include <QTreeView>

#include <optional>

class ImageListModel;
class WindowPointer;

// The image list shown as a one-column report. Rows are reordered by our own
// press, move and release handling (Qt's internal drag and drop stays off);
// files dropped from the file manager are appended.
class ImageListView : public QTreeView
{
    Q_OBJECT
public:
    ImageListView(ImageListModel *model, WindowPointer *windowPointer, QString dragIconPath,
                  QWidget *parent = nullptr);

    // The row that holds the picture being dragged, if any.
    QPersistentModelIndex dragItem() const { return m_dragRow; }
    bool isDragging() const { return m_dragging; }

    // The list's own pointer, shown unless the window is busy.
    void restoreOwnPointer();

protected:
    bool event(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void pickDragRow();
    void beginDrag();
    void dragTo(QPoint position);
    void endDrag();
    void removeSelectedRow();
    bool isFileDrop(const QMimeData *data) const;
    void appendDroppedFiles(const QMimeData *data);

    void exchange(int dragRow, int targetRow);
    void scrollNearEdge(QPoint position, int targetRow);
    void setOwnPointer(const QCursor &cursor);

    ImageListModel *m_model;
    WindowPointer *m_windowPointer;
    QString m_dragIconPath;
    std::optional<QCursor> m_ownPointer;

    bool m_dragging = false;
    QPersistentModelIndex m_dragRow;
};
