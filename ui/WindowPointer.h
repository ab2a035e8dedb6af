#pragma once

#include <QCursor>
#include <QHash>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <optional>

// The main window's one pointer setting. It shows over the window and its
// controls; while it is busy it also covers controls that have a pointer of
// their own (the text box's I-beam, the list's drag pointer).
class WindowPointer
{
public:
    enum class Shape { Default, Busy, Custom };

    explicit WindowPointer(QWidget *window);

    // The custom (hand) pointer. Without one, Qt's pointing hand stands in.
    void setCustomCursor(std::optional<QCursor> cursor);
    bool hasCustomCursor() const { return m_custom.has_value(); }

    // While busy, the control shows the busy pointer too. When the busy state
    // ends, restore gives the control its own pointer back; without one, the
    // pointer it had before is restored.
    void coverWhenBusy(QWidget *control, std::function<void()> restore = {});
    bool isBusy() const { return m_shape == Shape::Busy; }

    Shape shape() const { return m_shape; }
    void set(Shape shape);

    // The hover rule: unless the window is busy, show this shape.
    void hover(Shape shape);

private:
    void apply();
    void coverControls();
    void uncoverControls();

    QWidget *m_window;
    Shape m_shape = Shape::Default;
    std::optional<QCursor> m_custom;
    struct Covered {
        QPointer<QWidget> control;
        std::function<void()> restore;
    };
    QList<Covered> m_covered;
    // A covered control's own pointer while the busy pointer hides it.
    QHash<QWidget *, std::optional<QCursor>> m_savedCursors;
};
