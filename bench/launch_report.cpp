// How soon a conversion run reports once the converter has ended. A stand-in
// converter (this program, started again) writes the moment it exits; the run
// notes the moment its report is ready. Median of 21 runs.
//   build/bench/launch_report
#include "ConversionRun.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

namespace {

qint64 nowNs()
{
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc == 3 && std::strcmp(argv[1], "--exit-at") == 0) {
        const std::string moment = std::to_string(nowNs());
        std::FILE *file = std::fopen(argv[2], "w");
        std::fputs(moment.c_str(), file);
        std::fclose(file);
        std::_Exit(0);   // ends at once after its last write, as the converter does
    }

    QCoreApplication app(argc, argv);
    QTemporaryDir folder;
    std::vector<double> delays;
    for (int run = 0; run < 21; ++run) {
        const QString moment = folder.filePath(QStringLiteral("exit-%1").arg(run));
        const ConversionResult result = runConverter({app.applicationFilePath(), {"--exit-at", moment}});
        const qint64 reported = nowNs();
        QFile file(moment);
        if (result.outcome != ConversionResult::Outcome::Done || !file.open(QIODevice::ReadOnly))
            return 1;
        delays.push_back(double(reported - file.readAll().toLongLong()) / 1e6);
    }
    std::sort(delays.begin(), delays.end());
    std::printf("converter's end to report: median %.2f ms (fastest %.2f, slowest %.2f, %zu runs)\n",
                delays[delays.size() / 2], delays.front(), delays.back(), delays.size());
    return 0;
}
