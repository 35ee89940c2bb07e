#pragma once

#include "text/query_grammar.h"
#include "value/value_reader.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// What is typed to find a conversion: "5 mi to km", "100F c", "kilo to", "how many feet in a
// mile".
//
// The grammar of text/query_grammar.h parts it into what is converted and what it is converted
// to. A value at the start of the From side is read as the input field reads it
// (value/value_reader.h): "1/2 cup", "3*12 in", and several numbers with their units ("5 ft 11 in
// to cm", "5'11\" to cm"), where the first unit is the From unit's and the whole quantity the
// value; a number glued to the first unit is a value too ("100F", "2.5l"), and "a", "an" or "one"
// of the how-many form is 1. The rest splits into words, an arrow also between two words without
// blanks. Only the first maxWords words count, and of each word its first maxWordLength bytes (no
// label has a longer word), so a pasted page costs no more than a short query.

struct QueryWord {
    // As typed, and as compared (searchKey).
    std::string typed;
    std::string key;
    // The letters-and-digits runs of the key, at most maxParts ("km/h" gives km and h).
    std::vector<std::string> parts;
};

struct SearchQuery {
    static constexpr std::size_t maxWords = 10;
    static constexpr std::size_t maxParts = 8;
    static constexpr std::size_t maxWordLength = 256;

    // The value as typed, or empty when the query starts with no number.
    std::string value;
    // Why the number the query starts with cannot be read ("1,5" where decimals take a point);
    // empty when it can, or when there is none.
    std::string valueProblem;
    // The units converted from and to as typed, blanks trimmed: the From side without its value
    // (of several parts, the first one's unit), and the To side.
    std::string fromText;
    std::string toText;
    // The words, or with a separator the words of the From side.
    std::vector<QueryWord> fromWords;
    // The words of the To side; always empty without a separator.
    std::vector<QueryWord> toWords;
    bool hasTo = false;
    // Words beyond the first maxWords were left out.
    bool truncated = false;
};

SearchQuery parseSearchQuery(std::string_view utf8, NumberFormat format = {});

// The query of a unit to convert from and one to convert to, given apart as on the command line:
// no value is read, and "to" is only a word.
SearchQuery unitPairQuery(std::string_view from, std::string_view to);
