#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// What is typed to find a conversion, as Find ranks it (conversion_search.h): the words of the
// units converted from and those converted to, apart where a separator parts them, and the value
// typed before them. query/suggestion_query.h makes one of a typed query. Only the first maxWords
// words count, and of each word its first maxWordLength bytes (no label has a longer word), so a
// pasted page costs no more than a short query.

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

// The query of the units converted from and those converted to, typed apart: no value is read,
// and "to" is only a word. Without a separator (hasTo false), from holds every word.
SearchQuery unitPairQuery(std::string_view from, std::string_view to, bool hasTo = true);
