#pragma once

#include <QToolButton>

// A large push button with its 32 x 32 icon centred above a caption that wraps
// onto several lines when it is wider than the button. Qt's own tool button
// never wraps, and the longest caption needs two lines.
class ActionButton : public QToolButton
{
    Q_OBJECT
public:
    ActionButton(const QString &caption, const QIcon &icon, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};
