#include "CursorFile.h"

#include <QBuffer>
#include <QFile>
#include <QtEndian>

namespace {

constexpr int kDirectorySize = 6;
constexpr int kEntrySize = 16;
const QByteArray kPngSignature("\x89PNG\r\n\x1a\n", 8);

quint16 u16At(const QByteArray &bytes, qsizetype at)
{
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}

quint32 u32At(const QByteArray &bytes, qsizetype at)
{
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

void appendU16(QByteArray &out, quint16 value)
{
    out.append(char(value & 0xFF)).append(char(value >> 8));
}

void appendU32(QByteArray &out, quint32 value)
{
    appendU16(out, quint16(value & 0xFFFF));
    appendU16(out, quint16(value >> 16));
}

} // namespace

std::optional<CursorImage> decodeCursorFile(const QByteArray &bytes)
{
    if (bytes.size() < kDirectorySize + kEntrySize || u16At(bytes, 0) != 0)
        return std::nullopt;
    const quint16 type = u16At(bytes, 2);
    if ((type != 1 && type != 2) || u16At(bytes, 4) == 0)
        return std::nullopt;

    // First directory entry: width, height, colours, reserved, then two fields
    // that hold the hotspot in a cursor (planes and bit count in an icon).
    const qsizetype entry = kDirectorySize;
    const QPoint headerHotspot(u16At(bytes, entry + 4), u16At(bytes, entry + 6));
    const quint32 size = u32At(bytes, entry + 8);
    const quint32 offset = u32At(bytes, entry + 12);
    if (offset > quint32(bytes.size()) || size > quint32(bytes.size()) - offset)
        return std::nullopt;

    QImage image;
    const QByteArray data = bytes.mid(offset, size);
    if (data.startsWith(kPngSignature)) {
        image = QImage::fromData(data, "PNG");
    } else {
        // A DIB picture: Qt's icon reader understands it once the file calls
        // itself an icon.
        QByteArray asIcon = bytes;
        asIcon[2] = 1;
        image = QImage::fromData(asIcon, "ICO");
    }
    if (image.isNull())
        return std::nullopt;

    QPoint hotspot = type == 2 ? headerHotspot : QPoint(image.width() / 2, image.height() / 2);
    hotspot.setX(qBound(0, hotspot.x(), image.width() - 1));
    hotspot.setY(qBound(0, hotspot.y(), image.height() - 1));
    return CursorImage{image, hotspot};
}

std::optional<CursorImage> readCursorFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return decodeCursorFile(file.readAll());
}

std::optional<QCursor> loadCursor(const QString &path)
{
    const auto cursor = readCursorFile(path);
    if (!cursor)
        return std::nullopt;
    return QCursor(QPixmap::fromImage(cursor->image), cursor->hotspot.x(), cursor->hotspot.y());
}

QByteArray encodeCursorFile(const QImage &image, QPoint hotspot, CursorFileType type)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");

    QByteArray out;
    appendU16(out, 0);              // reserved
    appendU16(out, quint16(type));  // 1 icon, 2 cursor
    appendU16(out, 1);              // one picture
    out.append(char(image.width() >= 256 ? 0 : image.width()));
    out.append(char(image.height() >= 256 ? 0 : image.height()));
    out.append(char(0));            // colour count: not a palette picture
    out.append(char(0));            // reserved
    if (type == CursorFileType::Cursor) {
        appendU16(out, quint16(hotspot.x()));
        appendU16(out, quint16(hotspot.y()));
    } else {
        appendU16(out, 1);          // planes
        appendU16(out, 32);         // bits per pixel
    }
    appendU32(out, quint32(png.size()));
    appendU32(out, quint32(kDirectorySize + kEntrySize));
    return out + png;
}
