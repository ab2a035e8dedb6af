#pragma once

#include <QCursor>
#include <QPersistentModelIndex>
#include <QTreeView>

#include <optional>

class ImageListModel;
class WindowPointer;

// ListView1: the image list shown as a one-column report. Rows are reordered by
// our own press, move and release handling (Qt's internal drag and drop stays
// off); files dropped from the file manager are appended.
class ImageListView : public QTreeView
{
    Q_OBJECT
public:
    ImageListView(ImageListModel *model, WindowPointer *windowPointer, QString programFolder,
                  QWidget *parent = nullptr);

    // The row that holds the picture being dragged, if any.
    QPersistentModelIndex dragItem() const { return DragItem; }
    bool isDragging() const { return Dragging; }

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
    void ListView1_ItemClick();
    void ListView1_MouseDown();
    void ListView1_MouseMove(QPoint position);
    void ListView1_MouseUp();
    void ListView1_DblClick();
    bool ListView1_OLEDragOver(const QMimeData *data) const;
    void ListView1_OLEDragDrop(const QMimeData *data);

    void exchange(int dragRow, int targetRow);
    void scrollNearEdge(QPoint position, int targetRow);
    void setOwnPointer(const QCursor &cursor);

    ImageListModel *m_model;
    WindowPointer *m_windowPointer;
    QString m_programFolder;
    std::optional<QCursor> m_ownPointer;

    bool Dragging = false;
    QPersistentModelIndex DragItem;
};
