#pragma once

#include "app/Dialogs.h"

#include <QStringList>

// Answers the main window's dialogs without a screen and records what was shown.
class ScriptedDialogs final : public Dialogs
{
public:
    struct Message {
        QString text;
        MessageIcon icon;
    };

    void message(QWidget *, const QString &text, MessageIcon icon) override
    {
        messages.append({text, icon});
    }

    QList<Message> messages;
};
