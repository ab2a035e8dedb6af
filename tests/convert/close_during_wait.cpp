// Runs a conversion and, as soon as the wait has begun, ends the way the main
// window's close does: at once, leaving the converter a progress channel
// nobody reads. Used to show that the converter runs on to its end without us,
// and that we leave nothing in the temporary folder.
//   close_during_wait PROGRAM [ARGS...]
#include "ConversionRun.h"

#include <QCoreApplication>
#include <QTimer>
#include <cstdlib>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTimer::singleShot(0, [] { std::_Exit(EXIT_SUCCESS); });
    runConverter({app.arguments().at(1), app.arguments().mid(2)}, [](int) {});
    return 3;   // never reached while the program outlives the wait
}
