#pragma once

#include <string>
#include <vector>

class Category;
class Conversion;
class ConversionCatalog;

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

// The input read like atof and converted: as the result field shows it, with precision
// decimals, and in full, as its tooltip shows it.
struct ResultTexts {
    std::string shown;
    std::string exact;
};
ResultTexts computeResultTexts(const Conversion& conversion, std::string_view inputText,
                               int precision);

// What to tell the user when the atof reading leaves characters of the input unread, such as
// the ",5" of "0,5"; empty when everything but blanks was read.
std::string unreadInputNote(std::string_view inputText);

// What the input field's description tells a screen reader: the result shown with its unit,
// then the note on unread input; either may be empty.
std::string inputDescription(std::string_view resultWithUnit, std::string_view note);
