#include "formula/working_text.h"

#include "formula/number_text.h"

#include <algorithm>
#include <cstddef>

std::string makeWorkingText(std::string_view formula, double value) {
    const std::string input = formatInputValue(value);
    const auto variables =
        static_cast<std::size_t>(std::count(formula.begin(), formula.end(), 'x'));
    std::string text;
    text.reserve(formula.size() + variables * input.size());
    for (const char c : formula) {
        if (c == 'x')
            text += input;
        else
            text += c;
    }
    return text;
}
