#include "formula/number_text.h"

#include "text/text_scan.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstddef>
#include <system_error>

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::size_t skipDigits(std::string_view text, std::size_t pos) {
    while (pos < text.size() && isDigit(text[pos]))
        ++pos;
    return pos;
}

// The decimal exponent of the number's leading significant digit plus its written exponent,
// saturated. Only its sign is used: it tells an overflow from an underflow.
long magnitudeOf(std::string_view number) {
    std::size_t pos = 0;
    while (pos < number.size() && number[pos] == '0')
        ++pos;
    const std::size_t integerEnd = skipDigits(number, pos);
    long lead = static_cast<long>(integerEnd - pos) - 1;
    pos = integerEnd;
    if (pos < number.size() && number[pos] == '.') {
        ++pos;
        if (lead < 0) {
            const std::size_t zerosStart = pos;
            while (pos < number.size() && number[pos] == '0')
                ++pos;
            lead = -1 - static_cast<long>(pos - zerosStart);
        }
        pos = skipDigits(number, pos);
    }
    long exponent = 0;
    if (pos < number.size() && (number[pos] == 'e' || number[pos] == 'E')) {
        ++pos;
        bool negative = false;
        if (pos < number.size() && (number[pos] == '+' || number[pos] == '-'))
            negative = number[pos++] == '-';
        for (; pos < number.size() && isDigit(number[pos]); ++pos)
            exponent = std::min(exponent * 10 + (number[pos] - '0'), 1000000L);
        if (negative) exponent = -exponent;
    }
    return lead + exponent;
}

// Converts an unsigned decimal text already checked against the number grammar. Like strtod, a
// magnitude beyond the double range gives an infinity and one below it gives zero.
double decimalValue(std::string_view number) {
    double value = 0.0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    (void)end;
    if (error == std::errc::result_out_of_range) return magnitudeOf(number) > 0 ? HUGE_VAL : 0.0;
    return value;
}

// The length of the longest prefix of text, from pos, that is digits with an optional fraction
// (at least one digit in all), or 0.
std::size_t mantissaLength(std::string_view text, std::size_t pos) {
    const std::size_t integerEnd = skipDigits(text, pos);
    std::size_t end = integerEnd;
    if (end < text.size() && text[end] == '.') end = skipDigits(text, end + 1);
    const bool anyDigit = integerEnd > pos || end > integerEnd + 1;
    return anyDigit ? end - pos : 0;
}

// Fixed notation into out; the digits past the 1100th decimal of a double are all zeros, so
// they are appended rather than computed.
void appendFixed(std::string& out, double value, int decimals) {
    constexpr int ComputedDecimals = 1100;
    const int computed = std::min(decimals, ComputedDecimals);
    char buffer[330 + ComputedDecimals];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, computed);
    out.append(buffer, result.ptr);
    if (decimals > computed && std::isfinite(value))
        out.append(static_cast<std::size_t>(decimals - computed), '0');
}

} // namespace

std::string formatFixed(double value, int decimals) {
    std::string text;
    appendFixed(text, value, std::max(decimals, 0));
    return text;
}

std::string formatInputValue(double value) {
    if (std::isnan(value)) return "nan";
    if (std::isinf(value)) return value < 0 ? "(-inf)" : "inf";

    char buffer[400];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
    std::string_view text(buffer, static_cast<std::size_t>(result.ptr - buffer));
    const bool negative = text.front() == '-';
    const std::string_view digits = negative ? text.substr(1) : text;
    if (decimalValue(digits) != std::fabs(value)) {
        // Six decimals lost digits: the shortest text that reads back exactly, padded to six.
        result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
        text = std::string_view(buffer, static_cast<std::size_t>(result.ptr - buffer));
    }

    std::string out;
    out.reserve(text.size() + 10);
    // -0.0 too: its minus would otherwise merge with a preceding operator.
    if (negative) out += '(';
    out += text;
    const std::size_t point = text.find('.');
    const std::size_t decimals = point == std::string_view::npos ? 0 : text.size() - point - 1;
    if (point == std::string_view::npos) out += '.';
    if (decimals < 6) out.append(6 - decimals, '0');
    if (negative) out += ')';
    return out;
}

namespace {

// Where readLeadingNumber's number lies in text: [start, end) of the unsigned part, sign apart.
struct LeadingNumber {
    std::size_t start = 0;
    std::size_t end = 0;
    bool negative = false;
};

LeadingNumber findLeadingNumber(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && isWhiteSpace(text[pos]))
        ++pos;
    LeadingNumber number;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-'))
        number.negative = text[pos++] == '-';
    number.start = pos;
    const std::size_t length = mantissaLength(text, pos);
    if (length == 0) return LeadingNumber{};
    pos += length;
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        std::size_t exponent = pos + 1;
        if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-')) ++exponent;
        const std::size_t exponentEnd = skipDigits(text, exponent);
        if (exponentEnd > exponent) pos = exponentEnd;
    }
    number.end = pos;
    return number;
}

} // namespace

double readLeadingNumber(std::string_view text) {
    const LeadingNumber number = findLeadingNumber(text);
    if (number.end == 0) return 0.0;
    const double value = decimalValue(text.substr(number.start, number.end - number.start));
    return number.negative ? -value : value;
}

std::size_t leadingNumberLength(std::string_view text) {
    return findLeadingNumber(text).end;
}

ValueReading valueReading(std::string_view text) {
    const std::size_t length = leadingNumberLength(text);
    return {trimmed(text.substr(length)).empty(), trimmed(text.substr(0, length))};
}

std::string formatExact(double value) {
    if (value == 0.0) return "0";
    // The general form with 15 digits is exactly the rule: fixed for decimal exponents -4 to 14,
    // exponent form outside, trailing zeros dropped.
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    return std::string(buffer, result.ptr);
}

bool parseFormulaNumber(std::string_view text, double& value) {
    std::size_t pos = mantissaLength(text, 0);
    if (pos == 0) return false;
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        const std::size_t exponentEnd = skipDigits(text, pos + 1);
        if (exponentEnd == pos + 1) return false;
        pos = exponentEnd;
    }
    if (pos != text.size()) return false;
    value = decimalValue(text);
    return true;
}
