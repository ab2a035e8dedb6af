#pragma once

#include <QString>

class QWidget;

// Every modal dialog and message box of the main window goes through this
// interface, so that tests can answer them without a screen. QtDialogs is the
// only place that builds Qt dialogs.
class Dialogs
{
public:
    enum class MessageIcon { None, Warning };

    virtual ~Dialogs() = default;

    // A modal message box captioned with the application's title, with an OK
    // button; returns when the user has closed it.
    virtual void message(QWidget *owner, const QString &text, MessageIcon icon) = 0;
};

class QtDialogs final : public Dialogs
{
public:
    void message(QWidget *owner, const QString &text, MessageIcon icon) override;
};

inline const QString kApplicationTitle = QStringLiteral("Pictoreel");
