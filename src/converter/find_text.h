#pragma once

#include "search/conversion_search.h"

#include <string>
#include <string_view>

// Find Conversion as both windows show it: the matches for what is typed and the line under them.

// The most characters (UTF-16 code units, as the field counts them) the Find Conversion field
// takes; a pasted page is cut to its start, which keeps each key as quick as for a short query.
inline constexpr int maxQueryLength = 256;

struct FindResults {
    SearchResult result;
    // How many match, or why none does, and what of the query was left out.
    std::string countText;
};

// The matches for typed (UTF-8), a value in it read as the input field reads it, with the user's
// decimal separator.
FindResults findConversions(const ConversionSearch& search, std::string_view typed,
                            char decimalSeparator);

// The line under the matches: how many there are, or why there is none, and what of the query
// was left out (queryCut: the field is full).
std::string findCountText(const SearchResult& result, bool queryCut);
