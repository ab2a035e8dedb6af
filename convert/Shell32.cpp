#include "convert/Shell32.h"

#include "convert/Launch.h"

#include <QEventLoop>
#include <QTimer>

namespace {
constexpr int kWaitCycle = 100;   // ms
} // namespace

int settleWindowStyle(std::optional<int> windowStyle)
{
    if (!windowStyle || *windowStyle < 0 || *windowStyle > 6)
        return 6;
    return *windowStyle;
}

qint32 LaunchAndWait(const Command &command, std::optional<int> windowStyle, const QString &errorLog)
{
    // Settled as everywhere, but a console program on Linux shows no window:
    // nothing uses the value here.
    [[maybe_unused]] const int style = settleWindowStyle(windowStyle);
    const LaunchedProcess process = launchProcess(command, errorLog);
    if (process.error != 0)
        return launchFailure(process.error);

    while (true) {
        const std::optional<int> status = exitStatus(process);
        // Handle the window's events for the whole cycle rather than sleeping
        // through it: a click is answered at once, even a nested conversion.
        QEventLoop cycle;
        QTimer::singleShot(kWaitCycle, &cycle, &QEventLoop::quit);
        cycle.exec();
        if (status)
            return *status;
    }
}
