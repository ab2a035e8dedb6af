#include "StartupHelpers.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QTime>
#include <QWidget>

#include <cmath>
#include <random>

QPointF centredOrigin(QSizeF screen, QSizeF outerWindow)
{
    return {(screen.width() - outerWindow.width()) / 2.0,
            (screen.height() - outerWindow.height()) / 2.0};
}

void centreWindow(QWidget *window)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect whole = screen->geometry();
    const QPointF origin = centredOrigin(whole.size(), window->frameGeometry().size());
    window->move(whole.topLeft() + origin.toPoint());
}

bool fileExists(const QString &path)
{
    return QFileInfo(path).isFile();
}

HomePageDraw systemHomePageDraw()
{
    const auto seed = std::uint32_t(QTime::currentTime().msecsSinceStartOfDay());
    auto generator = std::make_shared<std::mt19937>(seed);
    return {
        [generator] { return std::uniform_real_distribution<double>(0.0, 1.0)(*generator); },
        [](const QUrl &url) { QDesktopServices::openUrl(url); },
        QUrl(QStringLiteral(PICTOREEL_HOME_PAGE)),
    };
}

int homePageNumber(double r)
{
    return int(std::floor(r * 100.0)) + 1;
}

bool drawHomePage(const HomePageDraw &draw)
{
    if (homePageNumber(draw.random()) != 7 || draw.page.isEmpty())
        return false;
    draw.open(draw.page);
    return true;
}
