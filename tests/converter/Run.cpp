#include "Run.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <sstream>
#include <spawn.h>
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
    char outName[] = "/tmp/jpeg2swf-test-out-XXXXXX";
    char errName[] = "/tmp/jpeg2swf-test-err-XXXXXX";
    const int out = mkstemp(outName), err = mkstemp(errName);
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
        waitpid(pid, &status, 0);
        result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    posix_spawn_file_actions_destroy(&actions);
    close(out);
    close(err);
    result.output = slurp(outName);
    result.errors = slurp(errName);
    unlink(outName);
    unlink(errName);
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
    std::istringstream sizes(run("ffprobe", {"-v", "error", "-select_streams", "v:0", "-show_entries",
                                             "frame=width,height", "-of", "csv=p=0", swf})
                                 .output);
    std::string line;
    while (std::getline(sizes, line)) {
        Frame frame;
        if (std::sscanf(line.c_str(), "%d,%d", &frame.width, &frame.height) == 2)
            frames.push_back(frame);
    }
    const std::string colours = run("ffmpeg", {"-v", "error", "-i", swf, "-vf", "scale=1:1:flags=area",
                                               "-fps_mode", "passthrough", "-f", "rawvideo", "-pix_fmt",
                                               "rgb24", "-"})
                                    .output;
    for (std::size_t i = 0; i < frames.size() && i * 3 + 2 < colours.size(); ++i) {
        frames[i].r = static_cast<unsigned char>(colours[i * 3]);
        frames[i].g = static_cast<unsigned char>(colours[i * 3 + 1]);
        frames[i].b = static_cast<unsigned char>(colours[i * 3 + 2]);
    }
    return frames;
}

} // namespace testrun
