// Build-time tool: draws one of our SVG pictures into the files the program
// and the desktop need.
//   svgrender INPUT.svg OUTPUT cur X Y    32 x 32 Windows cursor, hotspot (X, Y)
//   svgrender INPUT.svg OUTPUT ico        32 x 32 Windows icon
//   svgrender INPUT.svg OUTPUT png SIZE   SIZE x SIZE PNG
#include "CursorFile.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

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

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString mode = args.value(3);
    const bool valid = (mode == QLatin1String("cur") && args.size() == 6) || (mode == QLatin1String("ico") && args.size() == 4)
        || (mode == QLatin1String("png") && args.size() == 5 && args[4].toInt() > 0);
    if (!valid) {
        std::fprintf(stderr, "usage: svgrender INPUT.svg OUTPUT (cur X Y | ico | png SIZE)\n");
        return 2;
    }

    const QImage image = render(args[1], mode == QLatin1String("png") ? args[4].toInt() : 32);
    if (image.isNull()) {
        std::fprintf(stderr, "svgrender: %s: not a readable SVG picture\n", qPrintable(args[1]));
        return 1;
    }
    QFile out(args[2]);
    bool written = false;
    if (mode == QLatin1String("png")) {
        written = image.save(&out, "PNG");
    } else if (out.open(QIODevice::WriteOnly)) {
        const bool cursor = mode == QLatin1String("cur");
        const QPoint hotspot = cursor ? QPoint(args[4].toInt(), args[5].toInt()) : QPoint();
        written = out.write(encodeCursorFile(image, hotspot, cursor ? CursorFileType::Cursor : CursorFileType::Icon)) > 0;
    }
    if (!written) {
        std::fprintf(stderr, "svgrender: %s: %s\n", qPrintable(args[2]), qPrintable(out.errorString()));
        return 1;
    }
    return 0;
}
