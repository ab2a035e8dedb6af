#pragma once

#include "Dialogs.h"

#include <QStringList>

#include <functional>

// Answers the main window's dialogs without a screen and records what was shown.
class ScriptedDialogs final : public Dialogs
{
public:
    void message(QWidget *, const QString &text, MessageIcon icon) override
    {
        messages << text;
        icons << icon;
    }
    bool offer(QWidget *, const QString &summary, const QString &details, const QString &action) override
    {
        messages << summary;
        icons << MessageIcon::Warning;
        offered << details << action;
        return acceptOffer;
    }
    QStringList getOpenFileNames(QWidget *, const QString &title, const QString &filter) override
    {
        asked << title + QLatin1Char('|') + filter;
        return next(openAnswers);
    }
    QString getText(QWidget *, const QString &prompt, const QString &defaultText) override
    {
        asked << prompt + QLatin1Char('|') + defaultText;
        return next(textAnswers);
    }
    QString getExistingDirectory(QWidget *, const QString &prompt) override
    {
        asked << prompt;
        return next(folderAnswers);
    }
    QString getSaveFileName(QWidget *, const QString &title, const QList<FileType> &types) override
    {
        asked << title;
        for (const FileType &type : types)
            asked.last() += QLatin1Char('|') + type.filter + QLatin1Char('|') + type.defaultSuffix;
        if (onSave)
            onSave();
        return next(saveAnswers);
    }

    QStringList messages;
    QList<MessageIcon> icons;
    std::function<void()> onSave;
    QStringList offered;   // each offer's details and action
    bool acceptOffer = false;
    // Answers, taken in turn; none left answers as Cancel does.
    QList<QStringList> openAnswers;
    QStringList textAnswers, folderAnswers, saveAnswers;
    QStringList asked;

private:
    template <typename T>
    static T next(QList<T> &answers) { return answers.isEmpty() ? T() : answers.takeFirst(); }
};
