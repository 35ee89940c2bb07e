#pragma once

#include "value/number_style.h"
#include "value/value_reader.h"

#include <string>
#include <vector>

class Category;
class Conversion;
class ConversionCatalog;
class QueryReader;

// The process-wide selection: references into the catalog, or none.
struct Selection {
    Category* currentCategory = nullptr;
    const Conversion* currentConversion = nullptr;
};

// The visible categories in id order: the category of each tab, found in one walk.
std::vector<Category*> visibleCategories(const ConversionCatalog& catalog);

struct FromListEntry {
    std::string label;
    int group;
};

// One entry per source-unit group, in order of the group's first conversion, showing that
// conversion's source label.
std::vector<FromListEntry> fromListEntries(const Category& category);

// The conversions whose source group is group, in id order; none for group -1.
std::vector<const Conversion*> toListEntries(const Category& category, int group);

// How the input field is read: as the locale writes numbers, and for values written with units
// ("5 ft 11 in"), in the category of the From unit through the reader of queries.
struct InputContext {
    NumberFormat format;
    const Category* category = nullptr;
    const QueryReader* reader = nullptr;
    // How the shown result is written beyond its decimals.
    NumberStyle style = {};
};

// The conversion of category from conversion's To unit to its From unit; none when there is
// none.
const Conversion* reverseConversion(const Category& category, const Conversion& conversion);

// The input read wholly (query/query_reader.h, QueryReader::amount) in the From unit and
// converted: as the result
// field shows it (value/result_text.h), and in full, as its tooltip shows it. An input that is
// empty or cannot be read wholly gives no result: nothing was asked, or nothing is sure; nor does
// a result out of range (value/result_text.h), which the note says.
struct ResultTexts {
    std::string shown;
    std::string exact;
    // Why the input cannot be read, or why it gives no result; empty when it gives one or is
    // empty.
    std::string note;
    // The units read from the input, for its unit label; empty for a number alone.
    std::string readAs;
    // The result in two parts ("5 ft 10.9 in") for units people read that way; else empty.
    std::string twoPart;
};
ResultTexts computeResultTexts(const Conversion& conversion, std::string_view inputText,
                               int precision, const InputContext& context = {});

// Why the input cannot be read as a value, with or without units, when no conversion is there
// to read it for; empty when it can or is empty.
std::string unreadInputNote(std::string_view inputText, NumberFormat format = {});

// What the input field's description tells a screen reader: the result shown with its unit,
// then the note on unread input; either may be empty.
std::string inputDescription(std::string_view resultWithUnit, std::string_view note);
