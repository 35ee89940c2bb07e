#pragma once

#include "result.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Values as people write them: numbers ("2.5", "1e3"), fractions ("1/2"), mixed numbers
// ("1 1/2", "1½"), sums and products with + - * / x × ÷ and parentheses ("3*12", "(2+3)/4"), and
// powers with "**". "^" is refused: in the catalog's formulas it is exclusive or, and reading it
// as a power here would make the same sign mean two things. A text is read wholly or not at all,
// and never into a number other than the one written: a number beyond the largest double, or
// below the smallest normal one but not 0, is refused rather than rounded to infinity or 0.
//
// A text of more than maxValueLength bytes, or nesting (parentheses, signs, powers) deeper than
// maxValueDepth, is refused: neither time nor the stack depends on what is pasted.

inline constexpr std::size_t maxValueLength = 1000;
inline constexpr int maxValueDepth = 50;

// How the user's locale writes numbers. The decimal separator is "." always, and "," too where
// the locale writes decimals with a comma. The thousands separator groups only whole groups of
// three digits after one to three leading digits, the first of them not 0: the comma where
// decimals take a point ("12,500", "1,000,000"); where they take a comma, the point ("1.000.000",
// "1.000,5") and, in the locales that group with a space, a no-break space ("12 500"). Under a
// decimal comma a point could be either: it groups where only a grouping fits, is a decimal point
// where only that fits ("1.5", "0.500"), and a number it could part either way ("1.500", one and a
// half or fifteen hundred) is refused, as is any other number that fits no reading or two
// ("1.000e3").
struct NumberFormat {
    char decimal = '.';
    // The thousands separator; 0 for none (a locale that names none, as the C locale).
    char grouping = ',';
    // A no-break space (U+00A0, U+202F) groups thousands too.
    bool spaceGroups = false;

    // The format of a locale known by its decimal separator, as the windows know it.
    NumberFormat(char decimalSeparator = '.')
        : decimal(decimalSeparator == ',' ? ',' : '.'), grouping(decimal == ',' ? '.' : ',') {}
    NumberFormat(char decimalSeparator, char groupSeparator, bool spaceGroupsToo = false)
        : decimal(decimalSeparator == ',' ? ',' : '.'),
          grouping(decimal == ',' ? '.' : groupSeparator), spaceGroups(spaceGroupsToo) {}
};

// The no-break spaces that group thousands where the locale groups with a space: U+00A0 and
// U+202F. Their length in bytes at text[at], 0 for none.
std::size_t noBreakSpaceAt(std::string_view text, std::size_t at);

// The value, or why the text is none, as a sentence for the user.
Result<double> readValue(std::string_view text, NumberFormat format = {});

// The value a text starts with, read as readValue reads a value, up to the first word that is no
// part of it: "5" of "5 ft", "1 1/2" of "1 1/2 cup", "3 x 12" of "3 x 12 in", "100" of "100F".
struct LeadingValue {
    double value = 0.0;
    // Where the text goes on after the value.
    std::size_t end = 0;
};
Result<LeadingValue> readLeadingValue(std::string_view text, NumberFormat format = {});

// One number of a quantity and the unit written after it.
struct ValuePart {
    // Negative for every part of a quantity that a minus leads ("-5 ft 11 in").
    double value = 0.0;
    // The number as typed ("1 1/2", "3*12").
    std::string number;
    // The unit as typed, blanks trimmed; a prime or degree sign gives the name it stands for
    // ("'" gives ft, or arcmin after a degree sign). Empty when the number has no unit.
    std::string unit;
};

// A quantity as people write it: one value with or without a unit ("5", "5 mi", "2.5l", "3*12
// in"), or several parts, each a number alone with its unit, one after the other with blanks
// between them and nothing else ("5 ft 11 in", "5'11\"", "1 h 30 min", "3° 30′ 15″"). A sign
// before the first part is the whole quantity's ("-5 ft 11 in" is -(5 ft + 11 in)); any other
// sign or operator between the parts is refused ("10 m - 2 m"), as a sum of quantities is not
// computed.
struct QuantityRead {
    std::vector<ValuePart> parts;
    // Where the quantity ends.
    std::size_t end = 0;
    // The quantity's text as typed, blanks trimmed.
    std::string text;
    // Several parts, and a minus before the first.
    bool negative = false;
};

// The quantity the text starts with, or why there is none, as a sentence for the user.
Result<QuantityRead> readQuantity(std::string_view text, NumberFormat format = {});

// The same for a quantity that fills the whole text, as a value field holds it.
Result<QuantityRead> readWholeQuantity(std::string_view text, NumberFormat format = {});
