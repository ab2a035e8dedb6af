#include "WindowPointer.h"

WindowPointer::WindowPointer(QWidget *window) : m_window(window) {}

void WindowPointer::setCustomCursor(std::optional<QCursor> cursor)
{
    m_custom = std::move(cursor);
    if (m_shape == Shape::Custom)
        apply();
}

void WindowPointer::coverWhenBusy(QWidget *control, std::function<void()> restore)
{
    m_covered.append({control, std::move(restore)});
}

void WindowPointer::set(Shape shape)
{
    if (shape == m_shape)
        return;
    if (m_shape == Shape::Busy)
        uncoverControls();
    m_shape = shape;
    if (m_shape == Shape::Busy)
        coverControls();
    apply();
}

void WindowPointer::hover(Shape shape)
{
    if (m_shape != Shape::Busy)
        set(shape);
}

void WindowPointer::apply()
{
    switch (m_shape) {
    case Shape::Default:
        m_window->unsetCursor();
        break;
    case Shape::Busy:
        m_window->setCursor(Qt::WaitCursor);
        break;
    case Shape::Custom:
        m_window->setCursor(m_custom.value_or(QCursor(Qt::PointingHandCursor)));
        break;
    }
}

void WindowPointer::coverControls()
{
    for (const Covered &covered : std::as_const(m_covered))
        if (covered.control)
            covered.control->setCursor(Qt::WaitCursor);
}

void WindowPointer::uncoverControls()
{
    for (const Covered &covered : std::as_const(m_covered))
        if (covered.control)
            covered.restore();
}
