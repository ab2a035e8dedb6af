#pragma once

// Adding a folder's files: walking it and every folder below it for files
// whose names match a pattern.

#include <QString>
#include <QStringList>

#include <functional>

// Folder, one separator, name; then every pair of separators is folded into
// one, in a single pass from left to right. A root folder ("/") thus gives
// single separators. On Windows a network path's leading pair stays.
QString joinPath(const QString &folder, const QString &name);

// Wildcard match: '*' any run of characters, '?' any one character, letter
// case ignored.
bool matchesWildcard(const QString &name, const QString &pattern);

// The file pattern for a typed extension: "*." and the extension. A leading
// "*." or "." is the habit of writing extensions, not part of the extension:
// "jpg", ".jpg" and "*.jpg" all give "*.jpg".
QString extensionPattern(const QString &extension);

// The full paths of the files matching pattern in folder and in every folder
// below it, in level order: the folder's own files, then those of its direct
// sub-folders, then depth 2 grouped by parent, and so on; each folder's files
// and sub-folders in name order, as a file manager shows them.
// Files whose names begin with '~' are skipped (folders so named are still
// walked). A folder already walked (by identity)
// is not entered again, so the walk always ends.
// keepAnswering runs between folders so the window stays responsive.
QStringList collectFolderFiles(const QString &root, const QString &pattern,
                               const std::function<void()> &keepAnswering);
