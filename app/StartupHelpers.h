#pragma once

#include <QPointF>
#include <QSizeF>
#include <QString>
#include <QUrl>

#include <functional>

class QWidget;

// Start-up routines of the main window.

// Top-left corner that centres a window of the given outer size (frame
// included) on a screen of the given size. A real division: fractions stay, and
// a window larger than the screen gets a negative offset.
QPointF centredOrigin(QSizeF screen, QSizeF outerWindow);

// Centres the window on the whole primary screen (not its work area).
void centreWindow(QWidget *window);

// Whether a file can be found at the path; never reports anything.
bool fileExists(const QString &path);

// About one start in a hundred opens the product's home page, when the build
// names one.
struct HomePageDraw {
    std::function<double()> random;               // uniform in [0, 1)
    std::function<void(const QUrl &)> open;       // must not block
    QUrl page = QUrl();                           // empty: the draw opens nothing
};

// A generator seeded from the time of day, the desktop's URL opener and the
// home page the build was configured with (PICTOREEL_HOME_PAGE, empty unless set).
HomePageDraw systemHomePageDraw();

// n = floor(r * 100) + 1, from 1 to 100.
int homePageNumber(double r);

// Draws once and opens the home page when the number is 7 and there is a page.
// Returns whether it opened it.
bool drawHomePage(const HomePageDraw &draw);
