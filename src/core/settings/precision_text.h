#pragma once

#include <optional>
#include <string>
#include <string_view>

// The number of decimals a result shows, and the three texts it is read from: conv.ini's first
// line, the Precision edit and --precision. Each reads the number the text starts with alike
// (leadingInteger: blanks, a sign, digits, so "03" is 3) and keeps its own rule for a number
// outside the range.

// The range of decimals the result can show.
inline constexpr int minPrecision = 1;
inline constexpr int maxPrecision = 4;
// The range for a message: "1 to 4".
std::string precisionRangeText();

// conv.ini: the first line's leading integer clamped to the range. Numbers beyond the 32-bit
// range clamp by their sign.
int precisionFromLine(std::string_view line);

// The Precision edit: the leading integer, or none when it lies outside the range.
std::optional<int> acceptedPrecision(std::string_view text);

// --precision: one or two digits and nothing else, within the range.
std::optional<int> precisionArgument(std::string_view text);

// The precision one arrow step away from value, held within the range.
int steppedPrecision(int value, int step);
