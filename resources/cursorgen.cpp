// Build-time tool: draws an SVG picture into a 32 x 32 Windows cursor or icon
// file, so the pointer files beside the program are made from our own drawings.
//   cursorgen INPUT.svg OUTPUT (cur X Y | ico)
#include "ui/CursorFile.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    const bool cursor = args.size() == 6 && args[3] == QLatin1String("cur");
    if (!cursor && !(args.size() == 4 && args[3] == QLatin1String("ico"))) {
        std::fprintf(stderr, "usage: cursorgen INPUT.svg OUTPUT (cur X Y | ico)\n");
        return 2;
    }

    QSvgRenderer renderer(args[1]);
    if (!renderer.isValid()) {
        std::fprintf(stderr, "cursorgen: %s: not a readable SVG picture\n", qPrintable(args[1]));
        return 1;
    }
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    painter.end();

    const QPoint hotspot = cursor ? QPoint(args[4].toInt(), args[5].toInt()) : QPoint();
    QFile out(args[2]);
    if (!out.open(QIODevice::WriteOnly)
        || out.write(encodeCursorFile(image, hotspot, cursor ? CursorFileType::Cursor : CursorFileType::Icon)) < 0) {
        std::fprintf(stderr, "cursorgen: %s: %s\n", qPrintable(args[2]), qPrintable(out.errorString()));
        return 1;
    }
    return 0;
}
