#include "Dialogs.h"
#include "MainWindow.h"
#include "SettingsStore.h"
#include "WindowIcons.h"

#include <QApplication>
#include <QDir>

#include <cstdlib>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(kApplicationTitle);
    QApplication::setWindowIcon(WindowIcons::convert());

    QtDialogs dialogs(lastFolderInSettings());
    MainWindow window({&dialogs, QDir::toNativeSeparators(QApplication::applicationDirPath()),
                  systemHomePageDraw()});
    // Closing the window ends the program at once, also from inside a wait or a
    // folder walk; every setting has been saved when it was changed.
    QObject::connect(&window, &MainWindow::closed, [] { std::_Exit(EXIT_SUCCESS); });
    window.load();
    window.show();
    return app.exec();
}
