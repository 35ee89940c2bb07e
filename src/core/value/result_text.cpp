#include "value/result_text.h"

#include "catalog/catalog.h"
#include "formula/number_text.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>

std::string resultText(double value, int decimals) {
    std::string fixed = formatFixed(value, decimals);
    if (value == 0.0 || !std::isfinite(value) ||
        fixed.find_first_of("123456789") != std::string::npos)
        return fixed;
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 3);
    return std::string(buffer, result.ptr);
}

ResultRange resultRange(const Conversion& conversion, double value, double result) {
    if (std::isnan(result)) return ResultRange::Undefined;
    if (std::isinf(result)) return ResultRange::TooLarge;
    if (result != 0 && std::fabs(result) < DBL_MIN) return ResultRange::TooSmall;
    // A 0 for a value that is not 0, from a conversion that keeps 0 at 0, fell below every
    // number; but one that gives 0 for values of every size gives 0 for all ("x*0"), and its 0
    // is the result.
    double atZero = 1;
    if (result == 0 && value != 0 && conversion.compute(0.0, atZero) == 0 && atZero == 0)
        for (const double probe : {1.0, 1e300, -1e300}) {
            double at = 0;
            if (conversion.compute(probe, at) != 0 || at != 0) return ResultRange::TooSmall;
        }
    return ResultRange::Within;
}

std::string resultRangeNote(ResultRange range) {
    switch (range) {
    case ResultRange::Within:
        return {};
    case ResultRange::TooLarge:
        return "The result is out of range: it goes beyond about 1.8e308, the largest number, or "
               "the formula divides by zero.";
    case ResultRange::Undefined:
        return "The result is undefined: the formula gives no number for this value.";
    case ResultRange::TooSmall:
        return "The result is out of range: it is below about 2.2e-308, the smallest number "
               "held with all its digits.";
    }
    return {};
}

namespace {

// value rounded to digits significant digits, so that the noise of the last binary digits
// (70.99999999999999) does not show as parts.
double roundedToDigits(double value, int digits) {
    if (value == 0 || !std::isfinite(value)) return value;
    char buffer[64];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value,
                                       std::chars_format::scientific, digits - 1);
    double rounded = value;
    std::from_chars(buffer, written.ptr, rounded);
    return rounded;
}

// 10 to the power n, exact where a double holds it (n from 0 to 22): the C library's pow need not
// be, and a rounding step must not add a digit of its own.
double powerOfTen(int n) {
    static constexpr double exact[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                       1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                       1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    if (n >= 0 && n <= 22) return exact[n];
    return std::pow(10.0, n);
}

} // namespace

std::vector<std::string> splitTexts(double value, const std::vector<double>& sizes, int decimals) {
    std::vector<std::string> texts;
    if (sizes.empty() || !std::isfinite(value)) return texts;
    // Counted in the last unit, where the rounding happens.
    double count = std::fabs(value) / sizes.back();
    if (!std::isfinite(count) || count >= maxSplitCount) return texts;
    count = roundedToDigits(count, 15);
    if (decimals >= 0) {
        const double scale = powerOfTen(std::min(decimals, 15));
        const double rounded = std::round(count * scale) / scale;
        // A whole that rounds to 0 keeps its digits, which the last part shows.
        if (rounded != 0) count = rounded;
    }
    // Each unit counted in the last; a count within rounding of a whole number is that number.
    std::vector<double> inLast;
    for (const double size : sizes) {
        const double ratio = size / sizes.back();
        const double whole = std::round(ratio);
        inLast.push_back(std::fabs(ratio - whole) <= 1e-9 * ratio ? whole : ratio);
    }
    double rest = count;
    std::vector<double> wholes;
    for (std::size_t i = 0; i + 1 < sizes.size(); ++i) {
        double whole = std::floor(rest / inLast[i]);
        double left = std::fma(-whole, inLast[i], rest);
        if (left < 0) {
            whole -= 1;
            left += inLast[i];
        } else if (left >= inLast[i]) {
            whole += 1;
            left -= inLast[i];
        }
        wholes.push_back(whole);
        rest = std::max(0.0, left);
    }
    // The rest carries no more digits than the whole had.
    if (count > 0 && rest > 0) {
        // A tiny whole has more digits than a double's exponent reaches: it stays as it is.
        const double places = powerOfTen(14 - static_cast<int>(std::floor(std::log10(count))));
        if (std::isfinite(rest * places) && rest * places > 0)
            rest = std::round(rest * places) / places;
    }
    if (!wholes.empty() && rest >= inLast[wholes.size() - 1]) {
        wholes.back() += 1;
        rest = std::max(0.0, rest - inLast[wholes.size() - 1]);
        for (std::size_t i = wholes.size() - 1; i > 0; --i)
            if (wholes[i] * inLast[i] >= inLast[i - 1] &&
                inLast[i - 1] == std::round(inLast[i - 1])) {
                wholes[i] -= std::round(inLast[i - 1] / inLast[i]);
                wholes[i - 1] += 1;
            }
    }
    for (const double whole : wholes)
        texts.push_back(formatFixed(whole, 0));
    std::string last = decimals >= 0 ? resultText(rest, decimals) : formatExact(rest);
    // Where the unit above is no whole number of the last, rounding may reach it: then the rest
    // shows its own digits.
    if (!wholes.empty() && readLeadingNumber(last) >= inLast[wholes.size() - 1])
        last = formatExact(rest);
    texts.push_back(last);
    if (value < 0) texts.front().insert(0, "-");
    return texts;
}

namespace {

struct TwoPartUnit {
    std::string_view label;
    std::string_view partLabel;
    std::string_view symbol;
    std::string_view partSymbol;
    // Whether a blank stands between a number and its symbol.
    bool spaced;
};

constexpr TwoPartUnit twoPartUnits[] = {
    {"Feet (international)", "Inches (international)", "ft", "in", true},
    {"Pounds (avoirdupois)", "Ounces (avoirdupois)", "lb", "oz", true},
    {"Stones (imperial)", "Pounds (avoirdupois)", "st", "lb", true},
    {"Hours", "Minutes", "h", "min", true},
    {"Degrees", "Minutes of arc", "\xC2\xB0", "\xE2\x80\xB2", false},
};

} // namespace

std::string twoPartText(double value, const Category& category, std::string_view unitLabel,
                        int decimals) {
    for (const TwoPartUnit& unit : twoPartUnits) {
        if (unit.label != unitLabel) continue;
        for (const auto& conversion : category.conversions()) {
            double parts = 0;
            if (conversion.fromUnit() != unit.label || conversion.toUnit() != unit.partLabel ||
                conversion.compute(1.0, parts) != 0 || !(parts > 1))
                continue;
            const std::vector<std::string> texts = splitTexts(value, {1.0, 1.0 / parts}, decimals);
            if (texts.size() != 2) return {};
            const std::string blank = unit.spaced ? " " : "";
            return texts[0] + blank + std::string(unit.symbol) + " " + texts[1] + blank +
                   std::string(unit.partSymbol);
        }
    }
    return {};
}
