#pragma once

#include "result.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class Category;
class Conversion;
class ConversionCatalog;
struct UnitReading;

// A unit to convert from and one to convert to, of one category, and the catalog lines between
// them.
struct UnitPair {
    const Category* category = nullptr;
    // The line from the From unit: to the To unit, or, where the catalog converts the two only
    // through a third unit, to that one, and then the line from it. None for one unit on both
    // sides ("GWh" to "MWh", "2.5 lb" to "lb oz").
    const Conversion* conversion = nullptr;
    const Conversion* then = nullptr;
    // The From and To units of the category, and the factors of prefixes typed before them (1
    // for none): a value is multiplied by fromFactor before the lines, the result divided by
    // toFactor. An empty unit: that side was not given (Find lists what converts from or to the
    // other).
    std::string_view fromUnit;
    std::string_view toUnit;
    double fromFactor = 1.0;
    double toFactor = 1.0;
    // The units as the user is to hear them: "Nanoliters (1e-9 Liters)", else the labels.
    std::string fromShown;
    std::string toShown;
    // A To side of several words that names units to split the result into ("ft in"): the words
    // as typed, the first the To unit and each further one a smaller unit of the category, and
    // the size of each in the first ("ft in" gives 1 and 1/12). Both empty for a To side of one
    // unit.
    std::vector<std::string> splitWords;
    std::vector<double> splitSizes;
};

// The lines from one unit to the other, both of one category: the line between them, or where
// there is none, a line to a third unit and one on from there; none of either for one unit on
// both sides. None at all when the catalog converts the two no way.
std::optional<UnitPair> unitPair(const UnitReading& from, const UnitReading& to);

// value, in the From unit as typed (typed says how, for messages), converted: through the
// prefixes' factors and the catalog's lines between them. A result is a finite number, or none
// with the sentence that says why: a formula that cannot be computed or gives no number, or a
// result beyond the numbers on either side.
Result<double> convertedValue(const UnitPair& pair, double value, std::string_view typed);

// "Nanoliters (1e-9 Liters) → Milliliters", and the unit between two lines.
std::string pairText(const UnitPair& pair);

// The category named name, byte for byte or else ignoring letter case; or why there is none,
// with the closest names: "No category "Lenght" in conv.txt; the closest: "Length", "Fuel" or
// "Data"." catalogName is the catalog as the user knows it.
Result<const Category*> categoryNamed(const ConversionCatalog& catalog, std::string_view name,
                                      std::string_view catalogName);

// "A", "B" or "C" for a message.
std::string quotedList(const std::vector<std::string>& texts);
