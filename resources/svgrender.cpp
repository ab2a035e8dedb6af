// Build-time tool: draws one of our SVG pictures into the files the program
// and the desktop need. It runs on the build machine, also for a Windows
// build, whose Qt has no SVG module.
//   svgrender INPUT.svg OUTPUT cur X Y        32 x 32 Windows cursor, hotspot (X, Y)
//   svgrender INPUT.svg OUTPUT ico [SIZE...]  Windows icon, a picture per size (32)
//   svgrender INPUT.svg OUTPUT png SIZE       SIZE x SIZE PNG
#include "CursorFile.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QtEndian>

#include <cstdio>

namespace {

QImage render(const QString &svg, int size)
{
    QSvgRenderer renderer(svg);
    if (!renderer.isValid())
        return {};
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter);
    return image;
}

// One icon file holding the pictures of several one-picture icon files: their
// directory entries together, each picture's offset moved past the new
// directory and the pictures before it.
QByteArray joinIcons(const QList<QByteArray> &icons)
{
    constexpr int kDirectorySize = 6, kEntrySize = 16;
    QByteArray directory = icons.first().left(kDirectorySize);
    directory[4] = char(icons.size());
    QByteArray pictures;
    const qsizetype firstPicture = kDirectorySize + kEntrySize * icons.size();
    for (const QByteArray &icon : icons) {
        QByteArray entry = icon.mid(kDirectorySize, kEntrySize);
        const quint32 offset = quint32(firstPicture + pictures.size());
        qToLittleEndian(offset, entry.data() + 12);
        directory += entry;
        pictures += icon.mid(kDirectorySize + kEntrySize);
    }
    return directory + pictures;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString mode = args.value(3);
    QList<int> sizes;
    for (const QString &size : args.mid(mode == QLatin1String("cur") ? 6 : 4))
        sizes.append(qBound(0, size.toInt(), 256));
    if (sizes.isEmpty() && mode != QLatin1String("png"))
        sizes.append(32);
    const bool valid = (mode == QLatin1String("cur") && args.size() == 6) || mode == QLatin1String("ico")
        || (mode == QLatin1String("png") && args.size() == 5);
    if (!valid || sizes.contains(0)) {
        std::fprintf(stderr, "usage: svgrender INPUT.svg OUTPUT (cur X Y | ico [SIZE...] | png SIZE)\n");
        return 2;
    }

    QList<QImage> images;
    for (const int size : sizes)
        images.append(render(args[1], size));
    if (images.first().isNull()) {
        std::fprintf(stderr, "svgrender: %s: not a readable SVG picture\n", qPrintable(args[1]));
        return 1;
    }
    QFile out(args[2]);
    bool written = false;
    if (mode == QLatin1String("png")) {
        written = images.first().save(&out, "PNG");
    } else if (out.open(QIODevice::WriteOnly)) {
        const bool cursor = mode == QLatin1String("cur");
        const QPoint hotspot = cursor ? QPoint(args[4].toInt(), args[5].toInt()) : QPoint();
        QList<QByteArray> files;
        for (const QImage &image : images)
            files.append(encodeCursorFile(image, hotspot, cursor ? CursorFileType::Cursor : CursorFileType::Icon));
        written = out.write(joinIcons(files)) > 0;
    }
    if (!written) {
        std::fprintf(stderr, "svgrender: %s: %s\n", qPrintable(args[2]), qPrintable(out.errorString()));
        return 1;
    }
    return 0;
}
