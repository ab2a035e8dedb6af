#include "DelayText.h"

#include <charconv>
#include <cmath>
#include <string>

std::optional<double> readDelaySeconds(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return std::nullopt;
    text = text.substr(first, text.find_last_not_of(" \t") + 1 - first);

    std::string number;   // the text with '.' as its one decimal mark
    std::size_t at = 0;
    auto take = [&](auto wanted) {
        if (at >= text.size() || !wanted(text[at]))
            return false;
        number += text[at] == ',' ? '.' : text[at];
        ++at;
        return true;
    };
    auto isSign = [](char c) { return c == '+' || c == '-'; };
    auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    auto takeDigits = [&] {
        std::size_t count = 0;
        while (take(isDigit))
            ++count;
        return count;
    };

    const bool negative = at < text.size() && text[at] == '-';
    if (take(isSign))
        number.clear();   // from_chars takes no '+'; the sign is applied below
    std::size_t digits = takeDigits();
    if (take([](char c) { return c == '.' || c == ','; }))
        digits += takeDigits();
    if (digits == 0)
        return std::nullopt;
    if (take([](char c) { return c == 'e' || c == 'E'; })) {
        take(isSign);
        if (takeDigits() == 0)
            return std::nullopt;
    }
    if (at != text.size())
        return std::nullopt;

    double value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error != std::errc() || end != number.data() + number.size() || !std::isfinite(value))
        return std::nullopt;
    return negative ? -value : value;
}
