#include "Converter.h"
#include "OutputFile.h"

#include <iostream>

#ifndef JPEG2SWF_VERSION
#define JPEG2SWF_VERSION "0"
#endif

int runJpeg2swf(const std::vector<std::string> &arguments)
{
    const ParsedCommandLine parsed = parseCommandLine(arguments);
    if (parsed.options.help) {
        std::cout << usageText();
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
    return runConversion(parsed.options, std::cerr);
}
