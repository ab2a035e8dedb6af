#include "Run.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <sstream>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace testrun {

namespace {

std::string slurp(const std::string &path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

} // namespace

Result run(const std::string &program, const std::vector<std::string> &args)
{
    const std::string pattern = (std::filesystem::temp_directory_path() / "jpeg2swf-test-XXXXXX").string();
    std::string outName = pattern, errName = pattern;
    const int out = mkstemp(outName.data()), err = mkstemp(errName.data());
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err, STDERR_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);

    std::vector<char *> argv{const_cast<char *>(program.c_str())};
    for (const std::string &arg : args)
        argv.push_back(const_cast<char *>(arg.c_str()));
    argv.push_back(nullptr);

    Result result;
    pid_t pid = 0;
    if (posix_spawnp(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        struct rusage usage {};
        wait4(pid, &status, 0, &usage);
        result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        result.peakKiB = usage.ru_maxrss;
    }
    posix_spawn_file_actions_destroy(&actions);
    close(out);
    close(err);
    result.output = slurp(outName);
    result.errors = slurp(errName);
    unlink(outName.c_str());
    unlink(errName.c_str());
    return result;
}

bool windowsConverter()
{
    return std::getenv("JPEG2SWF_WINE") != nullptr;
}

std::vector<std::string> jpeg2swfCommand()
{
    if (windowsConverter())
        return {"wine", std::getenv("JPEG2SWF_WINE")};
    return {JPEG2SWF_PATH};
}

Result jpeg2swf(const std::vector<std::string> &args)
{
    std::vector<std::string> command = jpeg2swfCommand();
    command.insert(command.end(), args.begin(), args.end());
    return run(command.front(), {command.begin() + 1, command.end()});
}

std::vector<Frame> decodedFrames(const std::string &swf)
{
    std::vector<Frame> frames;
    std::istringstream lines(run("bash", {SWF_FRAMES_PATH, swf}).output);
    for (Frame f; lines >> f.width >> f.height >> f.r >> f.g >> f.b;)
        frames.push_back(f);
    return frames;
}

} // namespace testrun
