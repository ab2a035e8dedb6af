#include "UnseenButton.h"

#include <QAccessibleWidget>

namespace {

class UnseenAccessible : public QAccessibleWidget
{
public:
    explicit UnseenAccessible(UnseenButton *button) : QAccessibleWidget(button, QAccessible::Button) {}

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.invisible = true;
        state.offscreen = true;
        return state;
    }

    QString text(QAccessible::Text kind) const override
    {
        return kind == QAccessible::Name ? static_cast<QPushButton *>(widget())->text() : QAccessibleWidget::text(kind);
    }
};

QAccessibleInterface *unseenAccessible(const QString &, QObject *object)
{
    auto *button = qobject_cast<UnseenButton *>(object);
    return button ? new UnseenAccessible(button) : nullptr;
}

} // namespace

UnseenButton::UnseenButton(const QString &caption, QWidget *parent) : QPushButton(caption, parent)
{
    static const bool factoryInstalled = (QAccessible::installFactory(unseenAccessible), true);
    Q_UNUSED(factoryInstalled);
}
