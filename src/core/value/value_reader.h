#pragma once

#include "result.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Values as people write them: numbers ("2.5", "1e3"), fractions ("1/2"), mixed numbers
// ("1 1/2", "1½"), sums and products with + - * / x × ÷ and parentheses ("3*12", "(2+3)/4"), and
// powers with "**". "^" is refused: in the catalog's formulas it is exclusive or, and reading it
// as a power here would make the same sign mean two things. A text is read wholly or not at all.
//
// The decimal separator is "." always, and "," too where the user's locale writes decimals with
// a comma (decimalSeparator ','); a comma elsewhere is refused, never guessed to be a thousands
// separator.

// The value, or why the text is none, as a sentence for the user.
Result<double> readValue(std::string_view text, char decimalSeparator = '.');

// One number of a quantity and the unit written after it.
struct ValuePart {
    double value = 0.0;
    // The number as typed ("1 1/2", "3*12").
    std::string number;
    // The unit as typed, blanks trimmed; a prime or degree sign gives the name it stands for
    // ("'" gives ft, or arcmin after a degree sign). Empty when the number has no unit.
    std::string unit;
};

// A quantity as people write it: one value with or without a unit ("5", "5 mi", "2.5l"), or
// several, each with its unit ("5 ft 11 in", "5'11\"", "1 h 30 min", "3° 30′ 15″").
struct QuantityRead {
    std::vector<ValuePart> parts;
    // Where the quantity ends: at the text's end, or at a separator after it ("to", an arrow:
    // text/query_grammar.h).
    std::size_t end = 0;
    // The quantity's text as typed, blanks trimmed.
    std::string text;
};

// The quantity the text starts with, or why there is none, as a sentence for the user.
Result<QuantityRead> readQuantity(std::string_view text, char decimalSeparator = '.');

// The same for a quantity that fills the whole text, as a value field holds it.
Result<QuantityRead> readWholeQuantity(std::string_view text, char decimalSeparator = '.');
