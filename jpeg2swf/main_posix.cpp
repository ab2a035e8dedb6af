#include "Converter.h"
#include "OutputFile.h"

#include <iostream>
#include <malloc.h>

#ifndef JPEG2SWF_VERSION
#define JPEG2SWF_VERSION "0"
#endif

int main(int argc, char *argv[])
{
    const ParsedCommandLine parsed = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (parsed.options.help) {
        std::cout << kUsage;
        return kWritten;
    }
    if (parsed.options.version) {
        std::cout << "jpeg2swf " JPEG2SWF_VERSION "\n";
        return kWritten;
    }
    if (!parsed.error.empty()) {
        std::cerr << "jpeg2swf: " << parsed.error << "\nTry 'jpeg2swf --help' for more information.\n";
        return kUsageError;
    }
    installCleanupOnSignals();
    // Picture buffers are megabytes each: keep them out of the heap, so they go
    // back to the system when freed and a long list ends with the memory of a
    // short one.
    mallopt(M_MMAP_THRESHOLD, 1 << 20);
    return convert(parsed.options, std::cerr);
}
