#pragma once

#include <QCursor>
#include <QPersistentModelIndex>
#include <QTimer>
#include <QTreeView>

#include <optional>

class ImageListModel;
class PreviewLoader;
struct Preview;
class WindowPointer;

// The image list shown as a one-column report. Rows are reordered by our own
// press, move and release handling (Qt's internal drag and drop stays off),
// or by Alt+Up and Alt+Down; Delete, Backspace or a double-click removes the
// selected row; files dropped from the file manager are appended. Each row's
// tooltip shows the picture's whole path and a small preview.
class ImageListView : public QTreeView
{
    Q_OBJECT
public:
    ImageListView(ImageListModel *model, WindowPointer *windowPointer, QString dragIconPath,
                  QWidget *parent = nullptr);

    bool isDragging() const { return m_dragging; }

    // The list's own pointer, shown unless the window is busy.
    void restoreOwnPointer();

protected:
    bool event(QEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void drawRow(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
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
    QModelIndex rowAt(QPoint position) const;
    void stepAtEdge();
    void scrollNearEdge(QPoint position, int targetRow);
    bool atEdge(QPoint position) const;
    bool scrollsOn(QPoint position) const;
    void moveSelectedRow(int by);
    void setOwnPointer(const QCursor &cursor);
    void showRowTip(const QModelIndex &index, QPoint globalPosition);
    void addPreviewToTip(const QString &path, const Preview &preview);

    ImageListModel *m_model;
    WindowPointer *m_windowPointer;
    QString m_dragIconPath;
    std::optional<QCursor> m_ownPointer;

    bool m_dragging = false;
    QPersistentModelIndex m_dragRow;
    QPoint m_dragPosition;
    // While a dragged row is held at the top or bottom edge, each tick moves it
    // one place on and scrolls one row.
    QTimer m_edgeScroll{this};

    PreviewLoader *m_previews;
    struct RowTip {
        QString path, text;
        QPoint globalPosition;
        QRect rect;
    } m_tip;
};
