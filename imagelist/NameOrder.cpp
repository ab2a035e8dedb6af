#include "NameOrder.h"

#include <algorithm>

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The character at i, moving i past it: a UTF-8 code point, or a byte that is
// not part of one, kept apart from every code point.
char32_t nextCharacter(std::string_view text, std::size_t &i)
{
    const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(text[at]); };
    const unsigned char lead = byte(i);
    const std::size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
    if (length == 1 || length == 0 || i + length > text.size()) {
        ++i;
        return length == 1 ? lead : 0x110000 + lead;
    }
    char32_t code = lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) {
            ++i;
            return 0x110000 + lead;
        }
        code = code << 6 | (byte(i + k) & 0x3F);
    }
    i += length;
    return code;
}

// Capitals as small letters, for the scripts of European languages.
char32_t smallLetter(char32_t c)
{
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)    // Latin, Latin-1
        || (c >= 0x391 && c <= 0x3AB && c != 0x3A2) || (c >= 0x410 && c <= 0x42F))   // Greek, Cyrillic
        return c + 0x20;
    if (c >= 0x400 && c <= 0x40F)
        return c + 0x50;
    if ((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177))   // Latin Extended-A: capital, then small
        return c | 1;
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E))
        return c + (c & 1);
    return c == 0x178 ? 0xFF : c;
}

// Compares names with letter case ignored and digit runs as numbers: below,
// equal to or above 0.
int compareLoosely(std::string_view a, std::string_view b)
{
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            const auto digits = [](std::string_view text, std::size_t &at) {
                while (at < text.size() && text[at] == '0')
                    ++at;
                const std::size_t start = at;
                while (at < text.size() && isDigit(text[at]))
                    ++at;
                return text.substr(start, at - start);
            };
            const std::string_view x = digits(a, i), y = digits(b, j);
            if (x.size() != y.size())
                return x.size() < y.size() ? -1 : 1;   // more digits, a larger number, however long
            if (const int order = x.compare(y))
                return order;
            continue;
        }
        const auto p = static_cast<unsigned char>(a[i]), q = static_cast<unsigned char>(b[j]);
        if (p < 0x80 && q < 0x80) {   // most names are ASCII: no decoding
            ++i;
            ++j;
            const int x = p >= 'A' && p <= 'Z' ? p + 0x20 : p, y = q >= 'A' && q <= 'Z' ? q + 0x20 : q;
            if (x != y)
                return x < y ? -1 : 1;
            continue;
        }
        const char32_t x = smallLetter(nextCharacter(a, i)), y = smallLetter(nextCharacter(b, j));
        if (x != y)
            return x < y ? -1 : 1;
    }
    return (i < a.size()) - (j < b.size());
}

} // namespace

bool comesBeforeByName(std::string_view a, std::string_view b)
{
    const int order = compareLoosely(a, b);
    return order != 0 ? order < 0 : a < b;
}

void sortByName(std::vector<std::string> &names)
{
    std::sort(names.begin(), names.end(),
              [](const std::string &a, const std::string &b) { return comesBeforeByName(a, b); });
}
