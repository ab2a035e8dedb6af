#pragma once

#include <QString>

#include <optional>

// The delay box's text as a number of seconds, read exactly as the converter
// reads it: blanks (spaces, tabs) around, an optional sign, digits with '.' or
// ',' as the decimal mark, an optional exponent. A comma always marks decimals
// ("1,000" is 1.0); grouping, a second mark, hexadecimal, inf and nan are not
// numbers. The user's locale plays no part, so what the window accepts the
// converter reads as the same value.
std::optional<double> readDelay(const QString &text);

// Whether the delay box holds a number (0 and negative numbers included).
bool isNumericEntry(const QString &text);

// Whether the text can be handed to the converter: a number greater than 0.
bool isUsableDelay(const QString &text);
