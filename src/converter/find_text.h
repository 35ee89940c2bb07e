#pragma once

#include "query/query_reader.h"
#include "search/conversion_search.h"

#include <string>
#include <string_view>
#include <vector>

// Find Conversion as both windows show it: the conversions a query names exactly, read as the
// command line reads it (query/query_reader.h), then those whose units only look like what was
// typed (search/conversion_search.h), marked as suggestions; and the line under them.

// The most characters (UTF-16 code units, as the field counts them) the Find Conversion field
// takes; a pasted page is cut to its start, which keeps each key as quick as for a short query.
inline constexpr int maxFindLength = 256;

struct FindRow {
    ConversionMatch match;
    // The value typed with the units, as typed ("5" of "5 mi km"); empty for none.
    std::string value;
    // Only a look-alike of what was typed: chosen only by the user's own move to it.
    bool suggestion = false;
    // Offered before anything is typed: one of the user's favourite or recent conversions.
    enum class Kept { No, Favourite, Recent } kept = Kept::No;
};

struct FindResults {
    // The exact matches first, then the suggestions.
    std::vector<FindRow> rows;
    int exactCount = 0;
    // How many match, or why none does, and what of the query was left out.
    std::string countText;
};

// The shown categories of a catalog, read for Find: the reader and the search made once for
// many queries. The catalog and the names must outlive it.
class ConversionFinder {
  public:
    ConversionFinder(const ConversionCatalog& catalog, const UnitNames& names, NumberFormat format);
    // The rows for typed (UTF-8); queryCut: the field is full, so only its start was typed.
    // With nothing typed, the kept rows come first, as exact matches.
    FindResults find(std::string_view typed, bool queryCut = false) const;
    // The favourite and recent conversions offered while the field is empty.
    void setKeptRows(std::vector<FindRow> rows) { kept_ = std::move(rows); }

  private:
    const ConversionCatalog& catalog_;
    ConversionSearch search_;
    QueryReader reader_;
    NumberFormat format_;
    std::vector<FindRow> kept_;
};

// A favourite or recent conversion as its menu shows it: "Length: Meters → Feet", and with its
// value "Length: 5 Meters → Feet".
std::string keptConversionText(const Category& category, const Conversion& conversion,
                               std::string_view value);

// The tab of a shown category among the shown ones; -1 for a hidden one.
int tabOf(const ConversionCatalog& catalog, const Category* category);

// The row's line in the list: "Length: Meters → Feet", and " (suggestion)" after a look-alike;
// a kept row says which kind it is, and a recent one its value ("Length: 5 Meters → Feet
// (recent)").
std::string findRowText(const FindRow& row);

// The text's length as a field counts it: one unit a character, two beyond the first plane.
std::size_t utf16Length(std::string_view utf8);
