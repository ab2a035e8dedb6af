#pragma once

#include "Dialogs.h"

#include <QStringList>

#include <functional>

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

    QStringList getOpenFileNames(QWidget *, const QString &title, const QString &filter) override
    {
        asked << title + QLatin1Char('|') + filter;
        return openAnswers.isEmpty() ? QStringList() : openAnswers.takeFirst();
    }

    QString getText(QWidget *, const QString &prompt, const QString &defaultText) override
    {
        asked << prompt + QLatin1Char('|') + defaultText;
        return textAnswers.isEmpty() ? QString() : textAnswers.takeFirst();
    }

    QString getExistingDirectory(QWidget *, const QString &prompt) override
    {
        asked << prompt;
        return folderAnswers.isEmpty() ? QString() : folderAnswers.takeFirst();
    }

    QString getSaveFileName(QWidget *, const QString &title, const QList<FileType> &types) override
    {
        asked << title;
        for (const FileType &type : types)
            asked.last() += QLatin1Char('|') + type.filter + QLatin1Char('|') + type.defaultSuffix;
        if (onSave)
            onSave();
        return saveAnswers.isEmpty() ? QString() : saveAnswers.takeFirst();
    }

    QList<Message> messages;
    std::function<void()> onSave;
    QStringList saveAnswers;
    // Answers, taken in turn; an empty list answers as Cancel does.
    QList<QStringList> openAnswers;
    QStringList textAnswers;
    QStringList folderAnswers;
    QStringList asked;
};
