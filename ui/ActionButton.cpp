#include "ActionButton.h"

#include <QStyleOptionToolButton>
#include <QStylePainter>

namespace {
constexpr int kIconSize = 32;
constexpr int kMargin = 6;
constexpr int kIconToCaption = 4;
} // namespace

ActionButton::ActionButton(const QString &caption, const QIcon &icon, QWidget *parent)
    : QToolButton(parent)
{
    setText(caption);
    setIcon(icon);
    setIconSize(QSize(kIconSize, kIconSize));
    setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Button, Qt::white);
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
}

void ActionButton::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionToolButton option;
    initStyleOption(&option);

    // The style draws the raised or sunken face and the focus frame; we draw
    // the icon and the wrapped caption ourselves.
    option.text.clear();
    option.icon = QIcon();
    painter.drawComplexControl(QStyle::CC_ToolButton, option);

    const bool sunken = option.state & QStyle::State_Sunken;
    const QPoint shift = sunken ? QPoint(style()->pixelMetric(QStyle::PM_ButtonShiftHorizontal, &option, this),
                                         style()->pixelMetric(QStyle::PM_ButtonShiftVertical, &option, this))
                                : QPoint();
    const QRect inner = rect().adjusted(kMargin, kMargin, -kMargin, -kMargin).translated(shift);
    const QRect iconRect(inner.center().x() - kIconSize / 2 + 1, inner.top(), kIconSize, kIconSize);
    icon().paint(&painter, iconRect, Qt::AlignCenter,
                 isEnabled() ? QIcon::Normal : QIcon::Disabled);

    const QRect captionRect = inner.adjusted(0, kIconSize + kIconToCaption, 0, 0);
    painter.setPen(palette().color(QPalette::ButtonText));
    painter.drawText(captionRect, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, text());
}
