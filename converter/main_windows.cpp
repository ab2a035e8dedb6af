#include "Converter.h"
#include "Files_windows.h"

#include <cstdio>
#include <fcntl.h>
#include <io.h>

namespace {

// Messages are UTF-8, as on Linux: the console shows them as such while the
// converter runs, and gets its own code page back afterwards.
class Utf8Console
{
public:
    Utf8Console() : m_codePage(GetConsoleOutputCP()) { SetConsoleOutputCP(CP_UTF8); }
    ~Utf8Console() { SetConsoleOutputCP(m_codePage); }

private:
    UINT m_codePage;
};

} // namespace

// The wide entry point: arguments arrive whole in UTF-16, whatever the code page.
// No memory tuning as on Linux: the Windows heap already takes blocks as large
// as a picture's straight from the system and gives them back when freed.
int wmain(int argc, wchar_t *argv[])
{
    const Utf8Console console;
    // Plain '\n' line ends: byte for byte what Linux writes.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.push_back(utf8FromWide(argv[i]));
    return runJpeg2swf(arguments);
}
