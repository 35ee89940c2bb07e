#pragma once

#include "text/query_grammar.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// What is typed to find a conversion: "5 mi to km", "100F c", "kilo to".
//
// A value at the start is read as the input field reads it (value/value_reader.h): "1/2 cup",
// "3*12 in", and several numbers with their units ("5 ft 11 in to cm", "5'11\" to cm"), where the
// first unit is the From unit's and the whole quantity the value. The rest splits into words
// (text/query_grammar.h): the first separator, the word "to" or an arrow ("→" or "->", also
// between two words without blanks), ends the words of the From unit; those after it are the To
// unit's. A number glued to the first unit is a value too ("100F", "2.5l"). Only the first
// maxWords words count, and of each word its first maxWordLength bytes (no label has a longer
// word), so a pasted page costs no more than a short query.

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
    // The words, or with a "to" the words before it.
    std::vector<QueryWord> fromWords;
    // The words after the "to"; always empty without one.
    std::vector<QueryWord> toWords;
    bool hasTo = false;
    // Words beyond the first maxWords were left out.
    bool truncated = false;
};

SearchQuery parseSearchQuery(std::string_view utf8, char decimalSeparator = '.');

// The query of a unit to convert from and one to convert to, given apart as on the command line:
// no value is read, and "to" is only a word.
SearchQuery unitPairQuery(std::string_view from, std::string_view to);
