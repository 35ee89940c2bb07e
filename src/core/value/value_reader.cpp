#include "value/value_reader.h"

#include "text/query_grammar.h"
#include "text/text_scan.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <optional>

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

struct Sign {
    std::string_view text;
    double value;
};

// The vulgar fraction characters, each standing for its value ("1½" is one and a half).
constexpr Sign vulgarFractions[] = {
    {"\xC2\xBD", 1.0 / 2},     {"\xC2\xBC", 1.0 / 4},     {"\xC2\xBE", 3.0 / 4},
    {"\xE2\x85\x93", 1.0 / 3}, {"\xE2\x85\x94", 2.0 / 3}, {"\xE2\x85\x95", 1.0 / 5},
    {"\xE2\x85\x96", 2.0 / 5}, {"\xE2\x85\x97", 3.0 / 5}, {"\xE2\x85\x98", 4.0 / 5},
    {"\xE2\x85\x99", 1.0 / 6}, {"\xE2\x85\x9A", 5.0 / 6}, {"\xE2\x85\x90", 1.0 / 7},
    {"\xE2\x85\x9B", 1.0 / 8}, {"\xE2\x85\x9C", 3.0 / 8}, {"\xE2\x85\x9D", 5.0 / 8},
    {"\xE2\x85\x9E", 7.0 / 8}, {"\xE2\x85\x91", 1.0 / 9}, {"\xE2\x85\x92", 1.0 / 10},
};

constexpr std::string_view minusSign = "\xE2\x88\x92"; // −
constexpr std::string_view timesSign = "\xC3\x97";     // ×
constexpr std::string_view divisionSign = "\xC3\xB7";  // ÷

// Signs written right after a number for a unit: feet and inches, or degrees, minutes and
// seconds of arc. Curly quotes are in the list because text editors turn ' and " into them.
enum class Prime { Degree, Single, Double };
struct PrimeSign {
    std::string_view text;
    Prime prime;
};
constexpr PrimeSign primeSigns[] = {
    {"\xC2\xB0", Prime::Degree},     {"'", Prime::Single},  {"\xE2\x80\xB2", Prime::Single},
    {"\xE2\x80\x99", Prime::Single}, {"\"", Prime::Double}, {"\xE2\x80\xB3", Prime::Double},
    {"\xE2\x80\x9D", Prime::Double},
};

// Nesting deeper than anyone writes is refused, so that a pasted text cannot exhaust the stack.
constexpr int maxDepth = 50;

// Why a value stops being one where rest begins.
std::string unreadableFrom(std::string_view rest) {
    return "The value cannot be read from \"" + std::string(trimmed(rest)) + "\" on.";
}

class Parser {
  public:
    Parser(std::string_view text, char decimalSeparator)
        : text_(text), separator_(decimalSeparator) {}

    std::size_t pos = 0;
    std::string why;

    bool atEnd() const { return pos >= text_.size(); }
    std::string_view rest() const { return text_.substr(pos); }
    void skipBlanks() {
        while (pos < text_.size() && isWhiteSpace(text_[pos]))
            ++pos;
    }

    // A sum of terms.
    bool sum(double& value) {
        if (!term(value)) return false;
        for (;;) {
            skipBlanks();
            double sign = 0;
            if (consume("+"))
                sign = 1;
            else if (consume("-") || consume(minusSign))
                sign = -1;
            else
                return true;
            double right = 0;
            if (!term(right)) return false;
            value += sign * right;
        }
    }

    // Whether an operand begins at at: a digit, a decimal point before a digit, a parenthesis,
    // a vulgar fraction.
    bool operandAt(std::size_t at) const {
        if (at >= text_.size()) return false;
        const char c = text_[at];
        if (isDigit(c) || c == '(') return true;
        if ((c == '.' || c == separator_) && at + 1 < text_.size() && isDigit(text_[at + 1]))
            return true;
        return vulgarAt(at).has_value();
    }

    std::optional<Sign> vulgarAt(std::size_t at) const {
        for (const Sign& sign : vulgarFractions)
            if (text_.substr(at).starts_with(sign.text)) return sign;
        return std::nullopt;
    }

  private:
    bool consume(std::string_view sign) {
        if (!rest().starts_with(sign)) return false;
        pos += sign.size();
        return true;
    }

    bool fail(std::string message) {
        if (why.empty()) why = std::move(message);
        return false;
    }

    // Products and quotients; a mixed number may only start a term ("1/2 1/4" is no quotient of
    // mixed numbers).
    bool term(double& value) {
        if (!unary(value, true)) return false;
        for (;;) {
            skipBlanks();
            bool divide = false;
            if (rest().starts_with("**")) return true;
            if (consume("*") || consume(timesSign))
                divide = false;
            else if (consume("/") || consume(divisionSign))
                divide = true;
            else if ((rest().starts_with("x") || rest().starts_with("X")) && timesLetterAt(pos))
                ++pos;
            else
                return true;
            double right = 0;
            if (!unary(right, false)) return false;
            value = divide ? value / right : value * right;
        }
    }

    // "x" is a times sign only between operands: "3 x 4", "3x4", never the start of a unit.
    bool timesLetterAt(std::size_t at) const {
        std::size_t next = at + 1;
        while (next < text_.size() && isWhiteSpace(text_[next]))
            ++next;
        return operandAt(next) ||
               (next < text_.size() && (text_[next] == '-' || text_[next] == '+'));
    }

    bool unary(double& value, bool mixedAllowed) {
        skipBlanks();
        if (consume("+")) return unary(value, false);
        if (consume("-") || consume(minusSign)) {
            if (!unary(value, mixedAllowed)) return false;
            value = -value;
            return true;
        }
        return power(value, mixedAllowed);
    }

    // A power binds tighter than a sign before it, and from the right: -2**2 is -4, 2**3**2 is
    // 2**9.
    bool power(double& value, bool mixedAllowed) {
        if (++depth_ > maxDepth) return fail("The value nests too deeply to be read.");
        const bool read = primary(value, mixedAllowed);
        if (read) {
            skipBlanks();
            if (rest().starts_with("^")) {
                --depth_;
                return fail("\"^\" is not a power in a value: in conversion formulas it is "
                            "exclusive or. Write ** for a power, as in 2**3.");
            }
            if (consume("**")) {
                double exponent = 0;
                if (!unary(exponent, false)) {
                    --depth_;
                    return false;
                }
                value = std::pow(value, exponent);
            }
        }
        --depth_;
        return read;
    }

    bool primary(double& value, bool mixedAllowed) {
        skipBlanks();
        if (consume("(")) {
            if (!sum(value)) return false;
            skipBlanks();
            if (!consume(")"))
                return fail(atEnd() ? "A \")\" is missing in the value." : unreadable());
            return true;
        }
        if (const auto vulgar = vulgarAt(pos)) {
            pos += vulgar->text.size();
            value = vulgar->value;
            return true;
        }
        bool whole = false;
        if (!number(value, whole)) return false;
        if (!whole) return true;
        if (const auto vulgar = vulgarAt(pos)) {
            pos += vulgar->text.size();
            value += vulgar->value;
            return true;
        }
        if (mixedAllowed) mixedFraction(value);
        return true;
    }

    // "1 1/2" and "1 ½": a whole number, blanks, and a fraction of whole numbers.
    void mixedFraction(double& value) {
        const std::size_t start = pos;
        skipBlanks();
        if (pos == start) return;
        if (const auto vulgar = vulgarAt(pos)) {
            pos += vulgar->text.size();
            value += vulgar->value;
            return;
        }
        std::size_t at = pos;
        const auto digits = [&] {
            const std::size_t from = at;
            while (at < text_.size() && isDigit(text_[at]))
                ++at;
            return text_.substr(from, at - from);
        };
        const std::string_view numerator = digits();
        if (numerator.empty() || at >= text_.size() || text_[at] != '/') {
            pos = start;
            return;
        }
        ++at;
        const std::string_view denominator = digits();
        const bool goesOn = at < text_.size() &&
                            (isDigit(text_[at]) || text_[at] == '.' || text_[at] == separator_ ||
                             text_[at] == '/' || text_[at] == '*' || text_[at] == '^');
        const double below = decimal(denominator);
        if (denominator.empty() || goesOn || below == 0) {
            pos = start;
            return;
        }
        value += decimal(numerator) / below;
        pos = at;
    }

    static double decimal(std::string_view digits) {
        double value = 0;
        std::from_chars(digits.data(), digits.data() + digits.size(), value);
        return value;
    }

    std::string unreadable() const { return unreadableFrom(rest()); }

    // Digits with an optional fraction and exponent; whole tells a number of digits alone.
    bool number(double& value, bool& whole) {
        const std::size_t start = pos;
        std::string digits;
        while (pos < text_.size() && isDigit(text_[pos]))
            digits += text_[pos++];
        whole = !digits.empty();
        const bool point = pos < text_.size() && (text_[pos] == '.' || text_[pos] == separator_);
        if (point && pos + 1 < text_.size() && isDigit(text_[pos + 1])) {
            whole = false;
            digits += '.';
            ++pos;
            while (pos < text_.size() && isDigit(text_[pos]))
                digits += text_[pos++];
        } else if (point && !digits.empty() && text_[pos] == '.') {
            // "5." as the formula language writes it.
            whole = false;
            ++pos;
        }
        if (digits.empty() || digits == ".")
            return fail(atEnd() ? "A number is missing in the value." : unreadable());
        if (pos + 1 < text_.size() && (text_[pos] == 'e' || text_[pos] == 'E')) {
            std::size_t at = pos + 1;
            if (text_[at] == '+' || text_[at] == '-') ++at;
            if (at < text_.size() && isDigit(text_[at])) {
                whole = false;
                digits += 'e';
                digits += text_.substr(pos + 1, at - pos - 1);
                pos = at;
                while (pos < text_.size() && isDigit(text_[pos]))
                    digits += text_[pos++];
            }
        }
        if (separator_ != ',' && pos + 1 < text_.size() && text_[pos] == ',' &&
            isDigit(text_[pos + 1]) && digits.find_first_of(".e") == std::string::npos)
            return fail("\"" + std::string(text_.substr(start, pos + 2 - start)) +
                        "\": a comma is not read as a decimal separator here, where decimals "
                        "are written with a point, nor guessed to separate thousands; write " +
                        std::string(text_.substr(start, pos - start)) + "." +
                        std::string(1, text_[pos + 1]) + " for a decimal.");
        const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), value);
        // Beyond the range of doubles: an infinity, which the caller refuses, or below it, zero.
        if (result.ec == std::errc::result_out_of_range)
            value = digits.find("e-") == std::string::npos ? HUGE_VAL : 0.0;
        return true;
    }

    std::string_view text_;
    char separator_;
    int depth_ = 0;
};

Status finiteValue(double value) {
    if (std::isfinite(value)) return {};
    return Failure{std::isnan(value) ? "The value is undefined, as 0/0 is."
                                     : "The value is too large: numbers go up to about 1.8e308, "
                                       "and none is divided by zero."};
}

const Failure noValue{"No value is written."};

} // namespace

Result<double> readValue(std::string_view text, char decimalSeparator) {
    Parser parser(text, decimalSeparator);
    parser.skipBlanks();
    if (parser.atEnd()) return noValue;
    double value = 0.0;
    if (!parser.sum(value)) return Failure{parser.why};
    parser.skipBlanks();
    if (!parser.atEnd()) return Failure{unreadableFrom(parser.rest())};
    if (const Status done = finiteValue(value); !done) return Failure{done.why()};
    return value;
}

namespace {

// Whether a separator, which ends a quantity, begins at at, a word's start.
bool separatorBeginsAt(std::string_view text, std::size_t at) {
    return separatorAt(text, at) > 0;
}

std::optional<PrimeSign> primeAt(std::string_view text, std::size_t at) {
    for (const PrimeSign& sign : primeSigns)
        if (text.substr(at).starts_with(sign.text)) {
            // "°C" and "°F" are units of their own.
            const std::size_t next = at + sign.text.size();
            if (next < text.size() && !isWhiteSpace(text[next]) &&
                (static_cast<unsigned char>(text[next]) >= 0x80 ||
                 std::isalpha(static_cast<unsigned char>(text[next]))))
                return std::nullopt;
            return sign;
        }
    return std::nullopt;
}

// The name a prime sign stands for after the parts read so far: minutes and seconds of arc
// after degrees, else feet and inches.
std::string primeUnit(Prime prime, const std::vector<ValuePart>& before) {
    const bool ofAngle = !before.empty() && (before.front().unit == "deg");
    switch (prime) {
    case Prime::Degree:
        return "deg";
    case Prime::Single:
        return ofAngle ? "arcmin" : "ft";
    case Prime::Double:
        return ofAngle ? "arcsec" : "in";
    }
    return {};
}

} // namespace

Result<QuantityRead> readQuantity(std::string_view text, char decimalSeparator) {
    QuantityRead read;
    Parser parser(text, decimalSeparator);
    parser.skipBlanks();
    const std::size_t start = parser.pos;
    for (;;) {
        ValuePart part;
        const std::size_t numberStart = parser.pos;
        if (!parser.sum(part.value)) return Failure{parser.why};
        part.number = std::string(trimmed(text.substr(numberStart, parser.pos - numberStart)));
        if (const Status done = finiteValue(part.value); !done) return Failure{done.why()};
        parser.skipBlanks();
        if (parser.operandAt(parser.pos))
            return Failure{"A number follows \"" + part.number + "\" without a unit between them."};
        if (!parser.atEnd() && !separatorBeginsAt(text, parser.pos)) {
            if (const auto prime = primeAt(text, parser.pos)) {
                part.unit = primeUnit(prime->prime, read.parts);
                parser.pos += prime->text.size();
            } else {
                // The unit's words go on up to the next number or separator.
                const std::size_t unitStart = parser.pos;
                std::size_t at = parser.pos;
                while (at < text.size()) {
                    if (arrowAt(text, at) > 0) break;
                    if (isWhiteSpace(text[at])) {
                        std::size_t next = at;
                        while (next < text.size() && isWhiteSpace(text[next]))
                            ++next;
                        if (next == text.size() || parser.operandAt(next) ||
                            separatorBeginsAt(text, next))
                            break;
                        at = next;
                    } else {
                        ++at;
                    }
                }
                part.unit = std::string(trimmed(text.substr(unitStart, at - unitStart)));
                parser.pos = at;
            }
        }
        const bool withUnit = !part.unit.empty();
        read.parts.push_back(std::move(part));
        const std::size_t afterPart = parser.pos;
        parser.skipBlanks();
        if (parser.atEnd() || separatorBeginsAt(text, parser.pos)) {
            read.end = afterPart;
            read.text = std::string(trimmed(text.substr(start, afterPart - start)));
            return read;
        }
        if (!withUnit || !parser.operandAt(parser.pos))
            return Failure{unreadableFrom(parser.rest())};
    }
}

Result<QuantityRead> readWholeQuantity(std::string_view text, char decimalSeparator) {
    if (trimmed(text).empty()) return noValue;
    Result<QuantityRead> read = readQuantity(text, decimalSeparator);
    if (read && !trimmed(text.substr(read->end)).empty())
        return Failure{unreadableFrom(text.substr(read->end))};
    return read;
}
