#include "settings/precision_text.h"

#include "text/text_scan.h"

#include <algorithm>

namespace {

bool inRange(int value) {
    return value >= minPrecision && value <= maxPrecision;
}

} // namespace

std::string precisionRangeText() {
    return std::to_string(minPrecision) + " to " + std::to_string(maxPrecision);
}

int precisionFromLine(std::string_view line) {
    return std::clamp(leadingInteger(line), minPrecision, maxPrecision);
}

std::optional<int> acceptedPrecision(std::string_view text) {
    const int value = leadingInteger(text);
    if (!inRange(value)) return std::nullopt;
    return value;
}

std::optional<int> precisionArgument(std::string_view text) {
    // Digits alone, at most two of them: an argument has no blanks, sign or text about its number.
    if (text.empty() || text.size() > 2 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    return acceptedPrecision(text);
}

int steppedPrecision(int value, int step) {
    return std::clamp(value + step, minPrecision, maxPrecision);
}
