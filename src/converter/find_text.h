#pragma once

#include "search/conversion_search.h"

#include <string>

// The most characters the Find Conversion field takes; a pasted page is cut to its start, which
// keeps each key as quick as for a short query.
inline constexpr int maxQueryLength = 256;

// The line under the matches: how many there are, or why there is none, and what of the query
// was left out (queryCut: the field is full).
std::string findCountText(const SearchResult& result, bool queryCut);
