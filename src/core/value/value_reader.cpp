#include "value/value_reader.h"

#include "text/text_scan.h"

#include <cctype>
#include <cfloat>
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

const std::string tooLarge =
    "The value is too large: numbers go up to about 1.8e308, and none is divided by zero.";
const std::string tooSmall =
    "The value is too small to be held: numbers other than 0 go down to about 2.2e-308.";
const std::string undefined = "The value is undefined, as 0/0 is.";
const std::string tooDeep = "The value nests too deeply to be read.";

// Why a value stops being one where rest begins.
std::string unreadableFrom(std::string_view rest) {
    return "The value cannot be read from \"" + std::string(trimmed(rest)) + "\" on.";
}

// Whether the number whose digits (with "." and an exponent) from_chars found out of range is
// beyond the largest double rather than below the smallest: its first digit's power of ten.
bool beyondLargest(std::string_view digits) {
    const std::size_t exponentAt = digits.find('e');
    const std::string_view mantissa = digits.substr(0, exponentAt);
    const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
    const std::size_t first = mantissa.find_first_of("123456789");
    if (first == std::string_view::npos) return false;
    long power =
        first < point ? static_cast<long>(point - first) - 1 : -static_cast<long>(first - point);
    long exponent = 0;
    if (exponentAt != std::string_view::npos) {
        std::size_t at = exponentAt + 1;
        const bool negative = at < digits.size() && digits[at] == '-';
        if (at < digits.size() && (digits[at] == '-' || digits[at] == '+')) ++at;
        // Saturated: any exponent past a million says the same.
        for (; at < digits.size(); ++at)
            exponent = std::min(exponent * 10 + (digits[at] - '0'), 1000000L);
        if (negative) exponent = -exponent;
    }
    return power + exponent >= 0;
}

class Parser {
  public:
    Parser(std::string_view text, NumberFormat format) : text_(text), format_(format) {}

    std::size_t pos = 0;
    std::string why;

    bool atEnd() const { return pos >= text_.size(); }
    std::string_view rest() const { return text_.substr(pos); }
    void skipBlanks() {
        for (;;) {
            if (pos < text_.size() && isWhiteSpace(text_[pos]))
                ++pos;
            else if (const std::size_t space = noBreakSpaceAt(text_, pos))
                pos += space;
            else
                return;
        }
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
            const double left = value;
            value += sign * right;
            if (!inRange(value, left != 0 || right != 0, false)) return false;
        }
    }

    // Whether an operand begins at at: a digit, a decimal point before a digit, a parenthesis,
    // a vulgar fraction.
    bool operandAt(std::size_t at) const {
        if (at >= text_.size()) return false;
        const char c = text_[at];
        if (isDigit(c) || c == '(') return true;
        if ((c == '.' || c == format_.decimal) && at + 1 < text_.size() && isDigit(text_[at + 1]))
            return true;
        return vulgarAt(at).has_value();
    }

    // The length of the sign (+, -, −) at at; 0 for none.
    std::size_t signAt(std::size_t at) const {
        if (at >= text_.size()) return 0;
        if (text_[at] == '+' || text_[at] == '-') return 1;
        return text_.substr(at).starts_with(minusSign) ? minusSign.size() : 0;
    }

    // Whether a number, maybe after a sign and blanks, begins at at.
    bool signedOperandAt(std::size_t at) const {
        if (const std::size_t sign = signAt(at)) {
            at += sign;
            while (at < text_.size() && isWhiteSpace(text_[at]))
                ++at;
        }
        return operandAt(at);
    }

    std::optional<Sign> vulgarAt(std::size_t at) const {
        for (const Sign& sign : vulgarFractions)
            if (text_.substr(at).starts_with(sign.text)) return sign;
        return std::nullopt;
    }

  private:
    // One level of nesting, which the depth allowed bounds.
    class Nesting {
      public:
        explicit Nesting(Parser& parser) : parser_(parser) { ++parser_.depth_; }
        ~Nesting() { --parser_.depth_; }
        Nesting(const Nesting&) = delete;
        Nesting& operator=(const Nesting&) = delete;
        bool tooDeep() const { return parser_.depth_ > maxValueDepth; }

      private:
        Parser& parser_;
    };

    bool consume(std::string_view sign) {
        if (!rest().starts_with(sign)) return false;
        pos += sign.size();
        return true;
    }

    bool fail(std::string message) {
        if (why.empty()) why = std::move(message);
        return false;
    }

    // A result within the numbers that hold what was written: finite, and not below the
    // smallest normal number unless 0; 0 itself only where the operands allow it (fromNonzero:
    // a product, quotient or power of numbers that are not 0 is not 0).
    bool inRange(double value, bool fromNonzero, bool zeroMeansUnderflow) {
        if (std::isnan(value)) return fail(undefined);
        if (std::isinf(value)) return fail(tooLarge);
        if (value != 0 && std::fabs(value) < DBL_MIN) return fail(tooSmall);
        if (value == 0 && fromNonzero && zeroMeansUnderflow) return fail(tooSmall);
        return true;
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
            const bool nonzero = value != 0 && (divide || right != 0);
            value = divide ? value / right : value * right;
            if (!inRange(value, nonzero, true)) return false;
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

    // Each sign is a level of nesting, as each parenthesis and each power is: a run of them is
    // bounded like parentheses.
    bool unary(double& value, bool mixedAllowed) {
        skipBlanks();
        if (consume("+")) {
            const Nesting nesting(*this);
            if (nesting.tooDeep()) return fail(tooDeep);
            return unary(value, false);
        }
        if (consume("-") || consume(minusSign)) {
            const Nesting nesting(*this);
            if (nesting.tooDeep()) return fail(tooDeep);
            if (!unary(value, mixedAllowed)) return false;
            value = -value;
            return true;
        }
        return power(value, mixedAllowed);
    }

    // A power binds tighter than a sign before it, and from the right: -2**2 is -4, 2**3**2 is
    // 2**9.
    bool power(double& value, bool mixedAllowed) {
        if (!primary(value, mixedAllowed)) return false;
        skipBlanks();
        if (rest().starts_with("^"))
            return fail("\"^\" is not a power in a value: in conversion formulas it is "
                        "exclusive or. Write ** for a power, as in 2**3.");
        if (consume("**")) {
            const Nesting nesting(*this);
            if (nesting.tooDeep()) return fail(tooDeep);
            double exponent = 0;
            if (!unary(exponent, false)) return false;
            const bool nonzero = value != 0;
            value = std::pow(value, exponent);
            return inRange(value, nonzero, true);
        }
        return true;
    }

    bool primary(double& value, bool mixedAllowed) {
        skipBlanks();
        if (consume("(")) {
            const Nesting nesting(*this);
            if (nesting.tooDeep()) return fail(tooDeep);
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

    // "1 1/2" and "1 ½": a whole number, blanks, and a fraction of whole numbers; and "1-1/2",
    // where a hyphen joins them as rulers and cookbooks write them (with blanks, "1 - 1/2" is
    // a difference).
    void mixedFraction(double& value) {
        const std::size_t start = pos;
        const bool hyphen = pos + 1 < text_.size() && text_[pos] == '-' && isDigit(text_[pos + 1]);
        if (hyphen)
            ++pos;
        else
            skipBlanks();
        if (pos == start) return;
        if (const auto vulgar = hyphen ? std::nullopt : vulgarAt(pos)) {
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
        const std::string_view numeratorDigits = digits();
        if (numeratorDigits.empty() || at >= text_.size() || text_[at] != '/') {
            pos = start;
            return;
        }
        ++at;
        const std::string_view denominatorDigits = digits();
        const bool goesOn =
            at < text_.size() &&
            (isDigit(text_[at]) || text_[at] == '.' || text_[at] == format_.decimal ||
             text_[at] == '/' || text_[at] == '*' || text_[at] == '^');
        double numerator = 0;
        double denominator = 0;
        // Digits past the range of numbers are no fraction; what is left is refused unread.
        if (denominatorDigits.empty() || goesOn || !decimal(numeratorDigits, numerator) ||
            !decimal(denominatorDigits, denominator) || denominator == 0) {
            pos = start;
            return;
        }
        value += numerator / denominator;
        pos = at;
    }

    static bool decimal(std::string_view digits, double& value) {
        const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), value);
        return result.ec == std::errc() && std::isfinite(value);
    }

    std::string unreadable() const { return unreadableFrom(rest()); }

    // The length of a thousands separator at at: the locale's, or a no-break space where the
    // locale groups with a space; 0 for none.
    std::size_t groupSeparatorAt(std::size_t at) const {
        if (at >= text_.size()) return 0;
        if (format_.grouping != 0 && text_[at] == format_.grouping) return 1;
        return format_.spaceGroups ? noBreakSpaceAt(text_, at) : 0;
    }

    // The end of the digits at at grouped in thousands by one separator ("12,500", "12 500"):
    // one to three digits, the first not 0, then whole groups of three; at for none. groups
    // counts the groups, and separator is the first one's text.
    std::size_t groupedEnd(std::size_t at, std::size_t& groups, std::string_view& separator) const {
        groups = 0;
        if (at >= text_.size() || text_[at] == '0') return at;
        std::size_t end = at;
        while (end < text_.size() && isDigit(text_[end]) && end - at < 4)
            ++end;
        if (end == at || end - at > 3) return at;
        for (;;) {
            const std::size_t length = groupSeparatorAt(end);
            const std::size_t group = end + length;
            if (length == 0 || (groups > 0 && text_.substr(end, length) != separator) ||
                group + 3 > text_.size() || !isDigit(text_[group]) || !isDigit(text_[group + 1]) ||
                !isDigit(text_[group + 2]) ||
                (group + 3 < text_.size() && isDigit(text_[group + 3])))
                break;
            if (groups++ == 0) separator = text_.substr(end, length);
            end = group + 3;
        }
        return groups > 0 ? end : at;
    }

    // Digits with an optional fraction and exponent; whole tells a number of digits alone.
    bool number(double& value, bool& whole) {
        const std::size_t start = pos;
        std::string digits;
        std::size_t groups = 0;
        std::string_view separator;
        const std::size_t grouped = groupedEnd(pos, groups, separator);
        if (grouped > pos) {
            for (; pos < grouped; ++pos)
                if (isDigit(text_[pos])) digits += text_[pos];
            // "1,000,00" and "1.000.5" group unevenly: no reading of them is sure.
            if (pos + 1 < text_.size() && text_.substr(pos).starts_with(separator) &&
                isDigit(text_[pos + separator.size()]))
                return fail("\"" + std::string(text_.substr(start, pos + 2 - start)) +
                            "\": thousands are grouped in threes (\"12" + std::string(separator) +
                            "500\").");
            // Under a decimal comma, one group after a point could as well be decimals: "1.500"
            // is one and a half where a point writes decimals.
            const bool decimalsFollow =
                pos + 1 < text_.size() && text_[pos] == format_.decimal && isDigit(text_[pos + 1]);
            if (format_.decimal == ',' && separator == "." && groups == 1 && !decimalsFollow)
                return fail("\"" + std::string(text_.substr(start, pos - start)) +
                            "\" could have a decimal point or a thousands separator; write " +
                            std::string(text_.substr(start, pos - start - 4)) + "," +
                            std::string(text_.substr(pos - 3, 3)) + " for the decimals, or " +
                            std::string(digits) + " for the thousands.");
        } else {
            while (pos < text_.size() && isDigit(text_[pos]))
                digits += text_[pos++];
        }
        whole = !digits.empty();
        // Where "." groups thousands, it is no decimal point after them.
        const bool point =
            pos < text_.size() && (text_[pos] == format_.decimal ||
                                   (text_[pos] == '.' && !(grouped > start && separator == ".")));
        if (point && grouped == start && format_.grouping == '.' && text_[pos] == '.' &&
            !digits.empty() && digits != "0" && pos + 3 < text_.size() && isDigit(text_[pos + 1]) &&
            isDigit(text_[pos + 2]) && isDigit(text_[pos + 3]) &&
            (pos + 4 >= text_.size() || !isDigit(text_[pos + 4])))
            return fail("\"" + std::string(text_.substr(start, pos + 4 - start)) +
                        "\" could have a decimal point or a thousands separator; write it with "
                        "a decimal comma, or with a point between each group of three digits.");
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
                if (grouped > start)
                    return fail("\"" + std::string(text_.substr(start, at + 1 - start)) +
                                "\": a number with thousands separators takes no exponent.");
                whole = false;
                digits += 'e';
                digits += text_.substr(pos + 1, at - pos - 1);
                pos = at;
                while (pos < text_.size() && isDigit(text_[pos]))
                    digits += text_[pos++];
            }
        }
        if (format_.decimal != ',' && pos + 1 < text_.size() && text_[pos] == ',' &&
            isDigit(text_[pos + 1]) && digits.find_first_of(".e") == std::string::npos)
            return fail("\"" + std::string(text_.substr(start, pos + 2 - start)) +
                        "\": a comma is not read as a decimal separator here, where decimals "
                        "are written with a point, nor guessed to separate thousands; write " +
                        std::string(text_.substr(start, pos - start)) + "." +
                        std::string(1, text_[pos + 1]) + " for a decimal.");
        const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), value);
        // The range is that of the number read: infinity and 0 stand for no number written.
        if (result.ec == std::errc::result_out_of_range)
            return fail(beyondLargest(digits) ? tooLarge : tooSmall);
        if (value == 0 && digits.find_first_of("123456789") < digits.find('e'))
            return fail(tooSmall);
        if (value != 0 && std::fabs(value) < DBL_MIN) return fail(tooSmall);
        return true;
    }

    std::string_view text_;
    NumberFormat format_;
    int depth_ = 0;
};

Status finiteValue(double value) {
    if (std::isfinite(value)) return {};
    return Failure{std::isnan(value) ? undefined : tooLarge};
}

const Failure noValue{"No value is written."};
const Failure tooLong{"The value is longer than " + std::to_string(maxValueLength) +
                      " characters, more than any value needs."};

} // namespace

std::size_t noBreakSpaceAt(std::string_view text, std::size_t at) {
    const std::string_view rest = text.substr(std::min(at, text.size()));
    if (rest.starts_with("\xC2\xA0")) return 2;
    if (rest.starts_with("\xE2\x80\xAF")) return 3;
    return 0;
}

Result<double> readValue(std::string_view text, NumberFormat format) {
    if (text.size() > maxValueLength) return tooLong;
    Parser parser(text, format);
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

bool isLetter(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) || static_cast<unsigned char>(c) >= 0x80;
}

// Whether a word of a unit is an operator between quantities rather than part of a unit name:
// signs alone ("-", "**", "x"), a sign that ends it or starts a number ("m,", "m-2"), or a sign
// no unit name holds. Joiners between letters stay: "ft-lb", "N*m", "km/h", "m^2", "L/100".
bool operatorWord(std::string_view word) {
    if (word == "x" || word == "X" || word == timesSign) return true;
    bool nameCharacter = false;
    for (std::size_t i = 0; i < word.size(); ++i) {
        const char c = word[i];
        const bool last = i + 1 == word.size();
        const char next = last ? '\0' : word[i + 1];
        const char before = i == 0 ? '\0' : word[i - 1];
        switch (c) {
        case '+':
        case '=':
        case '&':
        case ',':
            return true;
        case '-':
        case '*':
            if (i == 0 || last || isDigit(next)) return true;
            break;
        case '/':
            if (last || (i == 0 && isDigit(next))) return true;
            break;
        case '^':
            if (!isLetter(before) || last) return true;
            break;
        default:
            if (word.substr(i).starts_with(minusSign) || word.substr(i).starts_with(divisionSign))
                return true;
            nameCharacter = true;
        }
    }
    return !nameCharacter;
}

Failure operatorBetween(std::string_view text, std::string_view sign) {
    return Failure{"In \"" + std::string(trimmed(text)) + "\", \"" + std::string(sign) +
                   "\" stands between quantities: a value in several units is its parts one "
                   "after the other, with only blanks between them (\"5 ft 11 in\"), and no sum "
                   "or other operation on quantities is computed."};
}

// A number alone, as each part of a value in several units is: digits, a fraction, an
// exponent, no operation ("5", "1 1/2", "2.5e3", "½").
bool plainNumber(std::string_view number) {
    std::size_t slashes = 0;
    for (std::size_t i = 0; i < number.size(); ++i) {
        const char c = number[i];
        if (c == '/') ++slashes;
        const bool exponentSign =
            (c == '-' || c == '+') && i > 0 && (number[i - 1] == 'e' || number[i - 1] == 'E');
        if ((std::string_view("+-*()xX").find(c) != std::string_view::npos && !exponentSign) ||
            number.substr(i).starts_with(minusSign) || number.substr(i).starts_with(timesSign) ||
            number.substr(i).starts_with(divisionSign))
            return false;
    }
    return slashes <= 1;
}

// The parts of a value in several units are numbers alone, only the first with a sign, which is
// the whole quantity's.
Status checkParts(QuantityRead& read) {
    if (read.parts.size() < 2) return {};
    for (std::size_t i = 0; i < read.parts.size(); ++i) {
        std::string_view number = read.parts[i].number;
        std::size_t sign = 0;
        if (number.starts_with("+") || number.starts_with("-"))
            sign = 1;
        else if (number.starts_with(minusSign))
            sign = minusSign.size();
        if (sign > 0 && i > 0) return operatorBetween(read.text, number.substr(0, sign));
        if (!plainNumber(trimmed(number.substr(sign))))
            return Failure{"In \"" + read.text +
                           "\", each part is a number alone with its unit (\"5 ft 11 in\"); \"" +
                           read.parts[i].number + "\" is not."};
        if (i == 0) read.negative = sign > 0 && number.front() != '+';
    }
    if (read.negative)
        for (std::size_t i = 1; i < read.parts.size(); ++i)
            read.parts[i].value = -read.parts[i].value;
    return {};
}

} // namespace

Result<QuantityRead> readQuantity(std::string_view text, NumberFormat format) {
    if (text.size() > maxValueLength) return tooLong;
    const std::string_view quantity = text;
    QuantityRead read;
    Parser parser(quantity, format);
    parser.skipBlanks();
    const std::size_t start = parser.pos;
    for (;;) {
        ValuePart part;
        const std::size_t numberStart = parser.pos;
        if (!parser.sum(part.value)) return Failure{parser.why};
        part.number = std::string(trimmed(quantity.substr(numberStart, parser.pos - numberStart)));
        if (const Status done = finiteValue(part.value); !done) return Failure{done.why()};
        parser.skipBlanks();
        if (parser.operandAt(parser.pos))
            return Failure{"A number follows \"" + part.number + "\" without a unit between them."};
        if (!parser.atEnd()) {
            if (const auto prime = primeAt(quantity, parser.pos)) {
                part.unit = primeUnit(prime->prime, read.parts);
                parser.pos += prime->text.size();
            } else {
                // The unit's words go on up to the next number, signed or not.
                const std::size_t unitStart = parser.pos;
                std::size_t at = parser.pos;
                while (at < quantity.size()) {
                    if (isWhiteSpace(quantity[at])) {
                        std::size_t next = at;
                        while (next < quantity.size() && isWhiteSpace(quantity[next]))
                            ++next;
                        if (next == quantity.size() || parser.signedOperandAt(next)) break;
                        at = next;
                    } else {
                        ++at;
                    }
                }
                part.unit = std::string(trimmed(quantity.substr(unitStart, at - unitStart)));
                parser.pos = at;
                const std::string_view unit = part.unit;
                for (std::size_t from = 0, to = 0; from < unit.size(); from = to + 1) {
                    to = from;
                    while (to < unit.size() && !isWhiteSpace(unit[to]))
                        ++to;
                    const std::string_view word = unit.substr(from, to - from);
                    if (!word.empty() && operatorWord(word))
                        return operatorBetween(quantity.substr(start), word);
                }
            }
        }
        read.parts.push_back(std::move(part));
        const std::size_t afterPart = parser.pos;
        parser.skipBlanks();
        if (parser.atEnd()) {
            read.end = afterPart;
            read.text = std::string(trimmed(quantity.substr(start, afterPart - start)));
            if (const Status parts = checkParts(read); !parts) return Failure{parts.why()};
            return read;
        }
        if (read.parts.back().unit.empty() || !parser.signedOperandAt(parser.pos))
            return Failure{unreadableFrom(parser.rest())};
    }
}

Result<LeadingValue> readLeadingValue(std::string_view text, NumberFormat format) {
    if (text.size() > maxValueLength) return tooLong;
    Parser parser(text, format);
    parser.skipBlanks();
    if (parser.atEnd()) return noValue;
    if (!parser.signedOperandAt(parser.pos)) return Failure{unreadableFrom(parser.rest())};
    double value = 0.0;
    if (!parser.sum(value)) return Failure{parser.why};
    if (const Status done = finiteValue(value); !done) return Failure{done.why()};
    return LeadingValue{value, parser.pos};
}

Result<QuantityRead> readWholeQuantity(std::string_view text, NumberFormat format) {
    if (trimmed(text).empty()) return noValue;
    Result<QuantityRead> read = readQuantity(text, format);
    if (read && !trimmed(text.substr(read->end)).empty())
        return Failure{unreadableFrom(text.substr(read->end))};
    return read;
}
