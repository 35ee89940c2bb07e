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
// the locale writes decimals with a comma. The thousands separator is the other one of the two,
// and it groups only whole groups of three digits after one to three leading digits, the first
// of them not 0 ("12,500", "1,000,000" where decimals take a point; "12.500", "1.000,5" where
// they take a comma). A number that fits no reading, or two ("1.000e3"), is refused.
struct NumberFormat {
    char decimal = '.';
    // The thousands separator; 0 for none (a locale that names none, as the C locale).
    char grouping = ',';

    // The format of a locale known by its decimal separator, as the windows know it.
    NumberFormat(char decimalSeparator = '.')
        : decimal(decimalSeparator == ',' ? ',' : '.'), grouping(decimal == ',' ? '.' : ',') {}
    NumberFormat(char decimalSeparator, char groupSeparator)
        : decimal(decimalSeparator == ',' ? ',' : '.'), grouping(groupSeparator) {}
};

// The value, or why the text is none, as a sentence for the user.
Result<double> readValue(std::string_view text, NumberFormat format = {});

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
    // Where the quantity ends: at the text's end, or before a separator after it
    // (text/query_grammar.h).
    std::size_t end = 0;
    // The quantity's text as typed, blanks trimmed.
    std::string text;
    // Several parts, and a minus before the first.
    bool negative = false;
};

// The quantity the text starts with, up to a separator, or why there is none, as a sentence for
// the user.
Result<QuantityRead> readQuantity(std::string_view text, NumberFormat format = {});

// The same for a quantity that fills the whole text, as a value field holds it.
Result<QuantityRead> readWholeQuantity(std::string_view text, NumberFormat format = {});
