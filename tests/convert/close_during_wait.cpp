// Waits for a program with LaunchAndWait and, 200 ms into the wait, ends the
// way the main window's close does: at once. Used to show that the program
// runs on to its end without us.
//   close_during_wait PROGRAM [ARGS...]
#include "convert/Shell32.h"

#include <QCoreApplication>
#include <QTimer>
#include <cstdlib>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList arguments = app.arguments().mid(2);
    QTimer::singleShot(200, [] { std::_Exit(EXIT_SUCCESS); });
    LaunchAndWait({app.arguments().at(1), arguments}, 0, QStringLiteral("/tmp/close-during-wait.log"));
    return 3;   // never reached while the program outlives the wait
}
