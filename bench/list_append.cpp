// Appends 100,000 paths to the image list in one batch and lays the list out,
// as the window shows it; then scrolls through it. Prints the times.
//   QT_QPA_PLATFORM=offscreen list_append
#include "ImageListModel.h"
#include "ImageListView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    ImageListModel model;
    ImageListView view(&model, nullptr, QString(), &window);
    view.setGeometry(8, 8, 425, 121);
    window.resize(442, 293);
    window.show();
    app.processEvents();

    QStringList paths;
    for (int i = 0; i < 100000; ++i)
        paths << QStringLiteral("/home/user/Pictures/Holiday %1/IMG_%2.JPG").arg(i / 1000).arg(i, 6, 10, QLatin1Char('0'));

    QElapsedTimer timer;
    timer.start();
    model.append(paths);
    view.scrollToBottom();
    view.repaint();
    app.processEvents();
    const qint64 append = timer.elapsed();

    timer.restart();
    QScrollBar *bar = view.verticalScrollBar();
    for (int step = 0; step <= 100; ++step) {
        bar->setValue(bar->maximum() * step / 100);
        view.repaint();
    }
    const double perStep = timer.elapsed() / 101.0;

    std::printf("append and show 100,000 rows: %lld ms\n", static_cast<long long>(append));
    std::printf("scroll step (repaint):        %.2f ms\n", perStep);
    return 0;
}
