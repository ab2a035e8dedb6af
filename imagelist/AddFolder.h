#pragma once

// Adding a folder's files: asking for the folder, and walking it and every
// folder below it for files whose names match a pattern.

#include <QString>
#include <QStringList>

#include <functional>
#include <utility>

class Dialogs;
class QWidget;

// The folder browser; the empty string when the user cancels.
QString BrowseForFolder(Dialogs &dialogs, QWidget *owner, const QString &prompt);

// Folder, one separator, name; then every pair of separators is folded into
// one, in a single pass from left to right. A root folder ("/") thus gives
// single separators.
QString joinPath(const QString &folder, const QString &name);

// Wildcard match: '*' any run of characters, '?' any one character, letter
// case ignored.
bool matchesWildcard(const QString &name, const QString &pattern);

// The file pattern for a typed extension: "*." and the extension. A leading
// "*." or "." is the habit of writing extensions, not part of the extension:
// "jpg", ".jpg" and "*.jpg" all give "*.jpg".
QString extensionPattern(const QString &extension);

// One folder's entries in the file system's listing order, unsorted. Hidden
// folders (names beginning with '.') and links to folders are left out, so a
// walk never leaves the tree and never runs in circles; every file is kept,
// hidden or not. A folder that cannot be read gives nothing. identity tells
// which folder was listed (device and inode): a folder reached by two paths,
// such as one mounted inside itself, has one identity.
struct FolderContents {
    std::pair<quint64, quint64> identity;
    QStringList files;
    QStringList folders;
};
FolderContents listFolder(const QString &folder);

// The full paths of the files matching pattern in folder and in every folder
// below it, in level order: the folder's own files, then those of its direct
// sub-folders in listing order, then depth 2 grouped by parent, and so on.
// Names beginning with '~' are skipped. A folder already walked (by identity)
// is not entered again, so the walk always ends.
// keepAnswering runs between folders so the window stays responsive.
QStringList collectFolderFiles(const QString &root, const QString &pattern,
                               const std::function<void()> &keepAnswering);
