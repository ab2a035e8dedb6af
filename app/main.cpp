#include "app/Dialogs.h"
#include "app/Form1.h"

#include <QApplication>
#include <QDir>

#include <cstdlib>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(kApplicationTitle);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/convert.svg")));

    QtDialogs dialogs;
    Form1 window({&dialogs, QDir::toNativeSeparators(QApplication::applicationDirPath()),
                  systemHomePageDraw()});
    // Closing the window ends the program at once, also from inside a wait or a
    // folder walk; every setting has been saved when it was changed.
    QObject::connect(&window, &Form1::unloaded, [] { std::_Exit(EXIT_SUCCESS); });
    window.Form_Load();
    window.show();
    return app.exec();
}
