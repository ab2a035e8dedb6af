#pragma once

#include <QString>
#include <QStringList>

#include <functional>

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
    // button; returns when the user has closed it. A text too long for a box
    // shows its first paragraph, and the whole text in a part that scrolls.
    virtual void message(QWidget *owner, const QString &text, MessageIcon icon) = 0;

    // A warning of a few words with the full account in a part that scrolls,
    // and one more button beside OK that offers an action; true when that
    // button closed the box.
    virtual bool offer(QWidget *owner, const QString &summary, const QString &details, const QString &action) = 0;

    // Open-file dialog with multi-selection: the chosen files as full paths in
    // the dialog's order; empty when cancelled. filter is a Qt name filter.
    virtual QStringList getOpenFileNames(QWidget *owner, const QString &title, const QString &filter) = 0;

    // Input box captioned with the application's title: the text on OK, the
    // empty string on Cancel.
    virtual QString getText(QWidget *owner, const QString &prompt, const QString &defaultText) = 0;

    // Folder browser: the chosen folder, or the empty string on Cancel.
    virtual QString getExistingDirectory(QWidget *owner, const QString &prompt) = 0;

    // A type of file that the save dialog offers: a Qt name filter, and the
    // suffix that a name typed without one gets under it (none when empty).
    struct FileType {
        QString filter;
        QString defaultSuffix;
    };

    // Save dialog for one file name, offering the types with the first one
    // chosen and asking before an existing file is replaced; the empty string
    // on Cancel.
    virtual QString getSaveFileName(QWidget *owner, const QString &title, const QList<FileType> &types) = 0;
};

// The folder the file dialogs last opened or saved in, kept by whoever hands
// it to QtDialogs (the settings store: it lasts across restarts).
struct FolderMemory {
    std::function<QString()> recall;
    std::function<void(const QString &folder)> remember;
};

// Qt's dialogs. Each file dialog opens in the folder last used with any of
// them, as long as it still exists.
class QtDialogs final : public Dialogs
{
public:
    explicit QtDialogs(FolderMemory lastFolder = {}) : m_lastFolder(std::move(lastFolder)) {}

    void message(QWidget *owner, const QString &text, MessageIcon icon) override;
    bool offer(QWidget *owner, const QString &summary, const QString &details, const QString &action) override;
    QStringList getOpenFileNames(QWidget *owner, const QString &title, const QString &filter) override;
    QString getText(QWidget *owner, const QString &prompt, const QString &defaultText) override;
    QString getExistingDirectory(QWidget *owner, const QString &prompt) override;
    QString getSaveFileName(QWidget *owner, const QString &title, const QList<FileType> &types) override;

private:
    QString startFolder() const;
    void remember(const QString &folder);

    FolderMemory m_lastFolder;
};

inline const QString kApplicationTitle = QStringLiteral("Pictoreel");
