#pragma once

#include "result.h"
#include "value/value_reader.h"

#include <string>
#include <string_view>

class Category;
class UnitNames;

// A quantity in one unit of a category: each part's unit is found among the category's units
// that convert to unitLabel, by its label or names as Find ranks them (search/label_ranks.h), and
// its number converted with the catalog's own conversion; a part without a unit is in unitLabel
// already. "5 ft 11 in" in Feet (international) is 5 + 11/12. The units of a value in several
// parts fall, each smaller than the one before ("11 in 5 ft" and "5 ft 6 ft" are refused), and
// none is a scale with a zero of its own ("5 °C 3 °F" is refused): only amounts add up.
struct QuantityValue {
    double value = 0.0;
    // The units read, for the user to check: "5 Feet (international) + 11 Inches
    // (international)"; empty for a number without units.
    std::string readAs;
    // Every unit was named wholly, by its label or one of its names as a whole: not by a word of
    // either ("IT" of "kcal IT"), a prefix or a near spelling.
    bool exact = true;
};

// Whether typed is the label of unit as a whole or one of its names, letter case aside, as the
// search compares them (search/search_text.h).
bool namesWholly(std::string_view typed, std::string_view unitLabel, const UnitNames& names);

// The value, or why not, as a sentence for the user.
Result<QuantityValue> quantityValue(const QuantityRead& read, const Category& category,
                                    std::string_view unitLabel, const UnitNames& names);

// The text of a value field read in unitLabel of category: a number or a quantity
// (readQuantity) that fills the whole text.
Result<QuantityValue> readValueIn(std::string_view text, NumberFormat format,
                                  const Category& category, std::string_view unitLabel,
                                  const UnitNames& names);
