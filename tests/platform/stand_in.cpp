// A stand-in for the converter: exits with the status its first argument
// names and writes every further argument, one a line, to standard error.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>

// Wide arguments, as the converter takes them, passed on in UTF-8.
int wmain(int argc, wchar_t *argv[])
{
    _setmode(_fileno(stderr), _O_BINARY);
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) {
        const int length = WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, nullptr, 0, nullptr, nullptr);
        std::string argument(std::size_t(length), '\0');
        WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, argument.data(), length, nullptr, nullptr);
        argument.pop_back();
        arguments.push_back(argument);
    }
#else
int main(int argc, char *argv[])
{
    const std::vector<std::string> arguments(argv + 1, argv + argc);
#endif
    for (std::size_t i = 1; i < arguments.size(); ++i)
        std::fprintf(stderr, "%s\n", arguments[i].c_str());
    return arguments.empty() ? 100 : std::atoi(arguments[0].c_str());
}
