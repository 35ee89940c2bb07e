#include "text/text_scan.h"

#include <algorithm>
#include <climits>

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(whiteSpace);
    // Blank text trims to nothing where it starts, so that a blank field keeps its place.
    if (first == std::string_view::npos) return text.substr(0, 0);
    const auto last = text.find_last_not_of(whiteSpace);
    return text.substr(first, last - first + 1);
}

int leadingInteger(std::string_view text) {
    std::size_t at = text.find_first_not_of(whiteSpace);
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

std::string asClause(std::string sentence) {
    if (!sentence.empty() && sentence.front() >= 'A' && sentence.front() <= 'Z')
        sentence.front() = static_cast<char>(sentence.front() - 'A' + 'a');
    if (!sentence.empty() && sentence.back() == '.') sentence.pop_back();
    return sentence;
}
