#pragma once

#include <QByteArray>
#include <QCursor>
#include <QImage>
#include <QPoint>
#include <QString>

#include <optional>

// Windows cursor (.cur) and icon (.ico) files. Qt's own reader loads the picture
// but drops the hotspot that a .cur header carries, so we read the header here.
struct CursorImage {
    QImage image;
    QPoint hotspot;
};

enum class CursorFileType { Icon = 1, Cursor = 2 };

// Reads the first picture of a .cur or .ico file. An icon has no hotspot of its
// own; like the platform, we put it in the middle.
std::optional<CursorImage> decodeCursorFile(const QByteArray &bytes);
std::optional<CursorImage> readCursorFile(const QString &path);
std::optional<QCursor> loadCursor(const QString &path);

// One-picture file with the picture stored as PNG (valid since Windows Vista).
QByteArray encodeCursorFile(const QImage &image, QPoint hotspot, CursorFileType type);
