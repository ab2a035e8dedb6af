#pragma once

#include <optional>
#include <string_view>

// A typed delay as a number of seconds, read the same way by the window and
// the converter: blanks (spaces, tabs) around, an optional sign, digits with
// '.' or ',' as the decimal mark, an optional exponent. A comma always marks
// decimals ("1,000" is 1.0); grouping, a second mark, hexadecimal, inf and nan
// are not numbers. No locale plays a part. Zero and negative numbers are read
// as numbers: whether they make a delay is the caller's rule.
std::optional<double> readDelaySeconds(std::string_view text);
