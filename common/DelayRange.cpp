#include "DelayRange.h"

#include <cmath>
#include <cstdio>

std::string withThousands(std::uint64_t number)
{
    const std::string digits = std::to_string(number);
    std::string grouped;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            grouped += ',';
        grouped += digits[i];
    }
    return grouped;
}

std::string readableSeconds(double seconds)
{
    std::string text;
    if (seconds >= 1000 && seconds < 1e15) {
        text = withThousands(std::uint64_t(std::floor(seconds)));
    } else {
        char number[32];
        std::snprintf(number, sizeof number, seconds < 1 ? "%.2g" : "%.4g", seconds);
        text = number;
    }
    text += seconds == 1 ? " second" : " seconds";
    static const struct {
        double seconds;
        const char *name;
    } kUnits[] = {{86400, "days"}, {3600, "hours"}, {60, "minutes"}};
    for (const auto &unit : kUnits) {
        if (seconds >= 2 * unit.seconds) {
            char count[32];
            std::snprintf(count, sizeof count, "%.3g", seconds / unit.seconds);
            return text + " (" + count + " " + unit.name + ")";
        }
    }
    return text;
}
