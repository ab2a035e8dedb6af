#pragma once

#include <QPushButton>

// A button that holds the keyboard focus where nobody sees it: it keeps its
// caption, and screen readers pass over it as over anything off the screen.
class UnseenButton : public QPushButton
{
    Q_OBJECT
public:
    explicit UnseenButton(const QString &caption, QWidget *parent = nullptr);
};
