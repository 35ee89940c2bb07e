#include "search/search_query.h"

#include "search/search_text.h"
#include "text/text_scan.h"
#include "value/value_reader.h"

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

QueryWord queryWord(std::string_view typed) {
    if (typed.size() > SearchQuery::maxWordLength) {
        // Cut at the start of a character.
        std::size_t cut = SearchQuery::maxWordLength;
        while (cut > 0 && (static_cast<unsigned char>(typed[cut]) & 0xC0) == 0x80)
            --cut;
        typed = typed.substr(0, cut);
    }
    QueryWord word{std::string(typed), searchKey(typed), {}};
    for (const std::string& part : searchWords(word.key)) {
        if (word.parts.size() == SearchQuery::maxParts) break;
        word.parts.push_back(part);
    }
    return word;
}

// Adds a typed word to words, up to the limit for the whole query; false once it is reached.
bool addWord(SearchQuery& query, std::vector<QueryWord>& words, std::string_view typed) {
    if (query.fromWords.size() + query.toWords.size() == SearchQuery::maxWords) {
        query.truncated = true;
        return false;
    }
    QueryWord word = queryWord(typed);
    // A word of signs alone ("°", "/") matches nothing and narrows nothing.
    if (!word.parts.empty()) words.push_back(std::move(word));
    return true;
}

// Adds the words of text to words, "to" among them; an arrow only parts two words.
void addWords(SearchQuery& query, std::vector<QueryWord>& words, std::string_view text) {
    QueryTokens tokens(text);
    for (QueryToken token; tokens.next(token);)
        if (!token.arrow && !addWord(query, words, token.text)) return;
}

} // namespace

SearchQuery parseSearchQuery(std::string_view utf8, NumberFormat format) {
    SearchQuery query;
    const QuerySides sides = querySides(utf8);
    query.hasTo = sides.separated;
    query.fromText = sides.from;
    if (sides.valueOne) query.value = "1";
    const std::string_view from = sides.from;
    const bool startsWithNumber =
        !sides.valueOne && !from.empty() &&
        (isDigit(from[0]) || std::string_view("(.+-").find(from[0]) != std::string_view::npos ||
         static_cast<unsigned char>(from[0]) >= 0x80);
    if (startsWithNumber) {
        const Result<QuantityRead> quantity = readWholeQuantity(from, format);
        // A number alone names no unit to convert: it may be a word of a label ("1/72").
        const bool numberAlone =
            quantity && quantity->parts.size() == 1 && quantity->parts.front().unit.empty();
        if (quantity && !numberAlone) {
            // One number: the value is the number and its unit the From side. Several: the value
            // is the whole quantity, and the From unit the first one's.
            query.value =
                quantity->parts.size() == 1 ? quantity->parts.front().number : quantity->text;
            query.fromText = quantity->parts.front().unit;
        } else if (!quantity && static_cast<unsigned char>(from[0]) < 0x80) {
            // No value is taken from what cannot be read wholly: the words stay, and the reason.
            query.valueProblem = quantity.why();
        }
    }
    query.toText = sides.to;
    addWords(query, query.fromWords, query.fromText);
    addWords(query, query.toWords, query.toText);
    return query;
}

SearchQuery unitPairQuery(std::string_view from, std::string_view to) {
    SearchQuery query;
    query.hasTo = true;
    query.fromText = from;
    query.toText = to;
    addWords(query, query.fromWords, from);
    addWords(query, query.toWords, to);
    return query;
}
