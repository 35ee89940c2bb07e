#include "commands/precision_text.h"

#include <algorithm>
#include <climits>

int leadingInteger(std::string_view text) {
    std::size_t at = text.find_first_not_of(" \t\n\v\f\r");
    if (at == std::string_view::npos) return 0;
    bool negative = false;
    if (text[at] == '+' || text[at] == '-') negative = text[at++] == '-';
    long long value = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        value = value * 10 + (text[at] - '0');
        if (value > INT_MAX) {
            value = static_cast<long long>(INT_MAX) + 1;
            break;
        }
    }
    return static_cast<int>(std::clamp<long long>(negative ? -value : value, INT_MIN, INT_MAX));
}

std::optional<int> acceptedPrecision(std::string_view text) {
    const int value = leadingInteger(text);
    if (value < minPrecision || value > maxPrecision) return std::nullopt;
    return value;
}

int steppedPrecision(int value, int step) {
    return std::clamp(value + step, minPrecision, maxPrecision);
}
