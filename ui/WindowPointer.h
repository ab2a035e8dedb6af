#pragma once

#include <QCursor>
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
    // ends, restore gives the control its own pointer back.
    void coverWhenBusy(QWidget *control, std::function<void()> restore);
    bool isBusy() const { return m_shape == Shape::Busy; }

    Shape shape() const { return m_shape; }
    void set(Shape shape);

    // The hover rule: unless the window is busy, show this shape.
    void hover(Shape shape);

    // Busy from construction to destruction. Nested operations (a walk started
    // inside a conversion's wait, say) keep the pointer busy until the last one
    // ends; then it returns to the default.
    class BusyScope
    {
    public:
        explicit BusyScope(WindowPointer &pointer) : m_pointer(pointer)
        {
            if (m_pointer.m_busyDepth++ == 0)
                m_pointer.set(Shape::Busy);
        }
        ~BusyScope()
        {
            if (--m_pointer.m_busyDepth == 0)
                m_pointer.set(Shape::Default);
        }
        BusyScope(const BusyScope &) = delete;
        BusyScope &operator=(const BusyScope &) = delete;

    private:
        WindowPointer &m_pointer;
    };

private:
    void apply();
    void coverControls();
    void uncoverControls();

    QWidget *m_window;
    Shape m_shape = Shape::Default;
    int m_busyDepth = 0;
    std::optional<QCursor> m_custom;
    struct Covered {
        QPointer<QWidget> control;
        std::function<void()> restore;
    };
    QList<Covered> m_covered;
};
