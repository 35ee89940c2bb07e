#include "value/result_text.h"

#include "catalog/catalog.h"
#include "formula/number_text.h"

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

std::vector<std::string> splitTexts(double value, const std::vector<double>& sizes, int decimals) {
    std::vector<std::string> texts;
    if (sizes.empty() || !std::isfinite(value)) return texts;
    // Counted in the last unit, where the rounding happens.
    const double last = sizes.back();
    double rest = std::fabs(value) / last;
    if (decimals >= 0 && decimals <= 15) {
        const double scale = std::pow(10.0, decimals);
        rest = std::round(rest * scale) / scale;
    }
    for (std::size_t i = 0; i + 1 < sizes.size(); ++i) {
        const double size = sizes[i] / last;
        // A rest within rounding noise of a whole unit counts as that unit.
        const double whole = std::floor(rest / size + 1e-9);
        rest = std::max(0.0, rest - whole * size);
        texts.push_back(formatFixed(whole, 0));
    }
    texts.push_back(decimals >= 0 ? formatFixed(rest, decimals) : formatExact(rest));
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
