#pragma once

#include "result.h"

#include <string>
#include <string_view>
#include <vector>

class Category;
class Conversion;
class ConversionCatalog;
class UnitNames;

// The conversion meant by a unit to convert from and one to convert to, typed apart as the
// command line takes them: the labels as written, then ignoring letter case; failing that, what
// the conversion search (conversion_search.h) finds first for FROM to TO with the names of
// names.txt, a word that names units of several categories read in the category of the other
// side. A side matched only loosely (letters in order, a typo) where another unit matches it
// better is no match, a whole label is that unit only, and where units still tie for a side,
// nothing is chosen: a script must not get a look-alike's result or a guess.
//
// A side that no name or label is as written may be a prefix and a name that takes it
// (search/unit_prefixes.h): "nl" is 1e-9 Liters, converted with the lines of Liters. Where the
// names read it as another unit ("Ms", which is ms ignoring letter case, or "fl", a word of
// "fl oz"), nothing is chosen. Where the catalog has no line from the From to the To unit but
// both convert through a third unit of their category, the two lines are taken.

// A conversion and its category; none when conversion is null.
struct FoundConversion {
    const Category* category = nullptr;
    const Conversion* conversion = nullptr;
};

// The conversion from "from" to "to": byte for byte in the first category in file order that
// has the pair (only in category when given), else, the same way, ignoring letter case.
FoundConversion findConversion(const ConversionCatalog& catalog, std::string_view from,
                               std::string_view to, const Category* category = nullptr);

// The category named name, byte for byte or else ignoring letter case; nullptr for none.
const Category* findCategoryByName(const ConversionCatalog& catalog, std::string_view name);

// The same, or why there is none, with the closest names: "No category "Lenght" in conv.txt;
// the closest: "Length", "Fuel" or "Data"." catalogName is the catalog as the user knows it.
Result<const Category*> categoryNamed(const ConversionCatalog& catalog, std::string_view name,
                                      std::string_view catalogName);

struct UnitPairRequest {
    std::string_view from;
    std::string_view to;
    // Only this category when given; else every category, hidden ones too, in file order.
    const Category* only = nullptr;
    // The catalog as the user knows it, for messages ("conv.txt").
    std::string_view catalogName;
};

struct UnitPair {
    const Category* category = nullptr;
    // The line from the From unit: to the To unit, or, where the catalog converts the two only
    // through a third unit, to that one, and then the line from it. None for one unit typed
    // with two prefixes ("GWh" to "MWh").
    const Conversion* conversion = nullptr;
    const Conversion* then = nullptr;
    // The From and To units of the category, and the factors of prefixes typed before them (1
    // for none): a value is multiplied by fromFactor before the lines, the result divided by
    // toFactor.
    std::string_view fromUnit;
    std::string_view toUnit;
    double fromFactor = 1.0;
    double toFactor = 1.0;
    // The units as the user is to hear them: "Nanoliters (1e-9 Liters)", else the labels.
    std::string fromShown;
    std::string toShown;
    // Found by names and ranks, not by the labels as typed: the user is to hear which labels
    // were taken.
    bool byNames = false;
    // A To side of several words that names units to split the result into ("ft in"): the words
    // as typed, the first the conversion's To unit and each further one exactly one smaller
    // unit of that category, and the size of each in the first ("ft in" gives 1 and 1/12). Both
    // empty for a To side of one unit.
    std::vector<std::string> splitWords;
    std::vector<double> splitSizes;
};

// The conversion request means, or why there is none, as a sentence for the user: the unit the
// catalog lacks and the closest labels, the units no conversion pairs, or the units a side could
// be ("\"a\" could be: Months (average Gregorian), Years (Gregorian); write one of them.").
Result<UnitPair> resolveUnitPair(const ConversionCatalog& catalog, const UnitNames& names,
                                 const UnitPairRequest& request);
