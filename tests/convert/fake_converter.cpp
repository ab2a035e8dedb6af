// A stand-in for jpeg2swf in the tests: records its arguments (the lines of an
// @FILE argument in its place) and ends as told by its environment.
//   FAKE_RECORD   file to write the arguments to, each followed by a NUL byte
//   FAKE_WAIT_FOR wait until this file exists (at most 30 s) before going on
//   FAKE_REPORTS  progress lines for JPEG2SWF_PROGRESS_FD, ';' between them;
//                 those after a '|' are written once the wait is over
//   FAKE_STDERR   text to write to standard error
//   FAKE_STATUS   exit status
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

static void report(std::string lines)
{
    const char *fd = std::getenv("JPEG2SWF_PROGRESS_FD");
    if (!fd || lines.empty())
        return;
    for (char &c : lines)
        c = c == ';' ? '\n' : c;
    lines += '\n';
    [[maybe_unused]] const auto written = ::write(std::atoi(fd), lines.data(), lines.size());
}

int main(int argc, char *argv[])
{
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.size() > 1 && arg[0] == '@') {
            std::ifstream list(arg.substr(1));
            for (std::string line; std::getline(list, line);)
                args.push_back(line);
        } else {
            args.push_back(arg);
        }
    }
    std::signal(SIGPIPE, SIG_IGN);
    const std::string reports = std::getenv("FAKE_REPORTS") ? std::getenv("FAKE_REPORTS") : "";
    const size_t held = std::min(reports.find('|'), reports.size());
    report(reports.substr(0, held));
    if (const char *release = std::getenv("FAKE_WAIT_FOR"))
        for (int i = 0; i < 3000 && !std::ifstream(release); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    report(reports.substr(std::min(held + 1, reports.size())));
    if (const char *text = std::getenv("FAKE_STDERR"))
        std::fputs(text, stderr);
    if (const char *record = std::getenv("FAKE_RECORD")) {
        const std::string partial = std::string(record) + ".part";
        {
            std::ofstream out(partial, std::ios::binary);
            for (const std::string &arg : args)
                out << arg << '\0';
        }
        std::rename(partial.c_str(), record);   // appears whole
    }
    const char *status = std::getenv("FAKE_STATUS");
    return status ? std::atoi(status) : 0;
}
