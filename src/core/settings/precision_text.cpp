#include "settings/precision_text.h"

#include "text/text_scan.h"

#include <algorithm>

std::optional<int> acceptedPrecision(std::string_view text) {
    const int value = leadingInteger(text);
    if (value < minPrecision || value > maxPrecision) return std::nullopt;
    return value;
}

int steppedPrecision(int value, int step) {
    return std::clamp(value + step, minPrecision, maxPrecision);
}
