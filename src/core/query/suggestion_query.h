#pragma once

#include "search/search_query.h"
#include "value/value_reader.h"

#include <string_view>

// A typed query as Find ranks it for its suggestions (search/conversion_search.h), parted by the
// grammar of query_grammar.h: where "in" or "as" could part it in several places, at the first
// after a word that is no number, as people put it between units. A value at the start of the
// From side is read as the value field reads it ("1/2 cup", "5 ft 11 in to cm": the value is the
// whole quantity and the From words those of its first unit); a value that cannot be read wholly
// gives no value, and why. Only the first maxQueryLength bytes count.
SearchQuery parseSearchQuery(std::string_view utf8, NumberFormat format = {});
