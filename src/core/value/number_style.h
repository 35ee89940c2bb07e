#pragma once

#include <string>
#include <string_view>

// How the window writes a result when its user asks for more than decimals: significant digits
// instead, scientific notation beyond a range, the locale's grouping of digits. The default is
// the window's first form: decimals, as resultText writes them.
struct NumberStyle {
    // Significant digits instead of decimals.
    bool significant = false;
    int significantDigits = 6;
    // Scientific notation for a result below 10^scientificBelow (0 aside) or from
    // 10^scientificFrom up.
    bool scientific = false;
    int scientificBelow = -4;
    int scientificFrom = 12;
    bool groupDigits = false;

    bool operator==(const NumberStyle&) const = default;
};

inline constexpr int minSignificantDigits = 1;
inline constexpr int maxSignificantDigits = 15;
// The exponents a range may name; below lies under from.
inline constexpr int minScientificExponent = -30;
inline constexpr int maxScientificExponent = 30;

// The style with each number within its range and the range the right way round.
NumberStyle withinRanges(NumberStyle style);

// The result as the window shows it, with a point for the decimal separator and no grouping:
// resultText(value, decimals) in the default style; else with the style's digits, correctly
// rounded, and in scientific notation ("1.23e+15") beyond the style's range.
std::string styledResultText(double value, int decimals, const NumberStyle& style);

// number with the digits before its decimal separator grouped in threes by separator ("12345.6"
// gives "12,345.6"); an exponent and anything but digits left as they are.
std::string groupedDigits(std::string_view number, char decimal, std::string_view separator);
