#include "value/number_style.h"

#include "value/result_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace {

// value in scientific notation with digits after the point, correctly rounded: "1.23e+15".
std::string scientificText(double value, int digits) {
    char buffer[64];
    const auto end =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, digits);
    return std::string(buffer, end.ptr);
}

// value with significant digits, correctly rounded, written without an exponent; the zeros a
// digit needs to stand in its place are added, and those it rounded to are kept.
std::string significantText(double value, int significant) {
    const std::string scientific = scientificText(value, significant - 1);
    const std::size_t e = scientific.find('e');
    const int exponent = std::atoi(scientific.c_str() + e + 1);
    std::string digits;
    for (std::size_t at = 0; at < e; ++at)
        if (scientific[at] >= '0' && scientific[at] <= '9') digits += scientific[at];
    std::string text = value < 0 ? "-" : "";
    if (exponent < 0) {
        text += "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    } else if (static_cast<std::size_t>(exponent) + 1 >= digits.size()) {
        text += digits + std::string(static_cast<std::size_t>(exponent) + 1 - digits.size(), '0');
    } else {
        const auto point = static_cast<std::size_t>(exponent) + 1;
        text += digits.substr(0, point) + "." + digits.substr(point);
    }
    return text;
}

} // namespace

NumberStyle withinRanges(NumberStyle style) {
    style.significantDigits =
        std::clamp(style.significantDigits, minSignificantDigits, maxSignificantDigits);
    style.scientificBelow =
        std::clamp(style.scientificBelow, minScientificExponent, maxScientificExponent - 1);
    style.scientificFrom =
        std::clamp(style.scientificFrom, style.scientificBelow + 1, maxScientificExponent);
    return style;
}

std::string styledResultText(double value, int decimals, const NumberStyle& style) {
    if (!std::isfinite(value)) return resultText(value, decimals);
    const double size = std::fabs(value);
    const bool beyond = style.scientific && value != 0.0 &&
                        (size < std::pow(10.0, style.scientificBelow) ||
                         size >= std::pow(10.0, style.scientificFrom));
    const int digits = style.significant ? style.significantDigits - 1 : decimals;
    if (beyond) return scientificText(value, digits);
    if (!style.significant || value == 0.0) return resultText(value, decimals);
    return significantText(value, style.significantDigits);
}

std::string groupedDigits(std::string_view number, char decimal, std::string_view separator) {
    // The digits before the decimal separator, or before an exponent, after a sign.
    std::size_t start = number.find_first_of("0123456789");
    if (start == std::string_view::npos || separator.empty()) return std::string(number);
    std::size_t end = start;
    while (end < number.size() && number[end] >= '0' && number[end] <= '9')
        ++end;
    if (end < number.size() && number[end] != decimal && number[end] != 'e')
        return std::string(number);
    std::string grouped(number.substr(0, start));
    for (std::size_t at = start; at < end; ++at) {
        if (at > start && (end - at) % 3 == 0) grouped += separator;
        grouped += number[at];
    }
    return grouped + std::string(number.substr(end));
}
