#include "search/search_query.h"

#include "text/search_text.h"
#include "text/text_scan.h"

namespace {

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

// Adds the words of text, those between blanks, to words, up to the limit for the whole query.
void addWords(SearchQuery& query, std::vector<QueryWord>& words, std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        if (isWhiteSpace(text[at])) {
            ++at;
            continue;
        }
        std::size_t end = at;
        while (end < text.size() && !isWhiteSpace(text[end]))
            ++end;
        if (query.fromWords.size() + query.toWords.size() == SearchQuery::maxWords) {
            query.truncated = true;
            return;
        }
        QueryWord word = queryWord(text.substr(at, end - at));
        // A word of signs alone ("°", "/", an arrow) matches nothing and narrows nothing.
        if (!word.parts.empty()) words.push_back(std::move(word));
        at = end;
    }
}

} // namespace

SearchQuery unitPairQuery(std::string_view from, std::string_view to, bool hasTo) {
    SearchQuery query;
    query.hasTo = hasTo;
    query.fromText = from;
    query.toText = to;
    addWords(query, query.fromWords, from);
    addWords(query, query.toWords, to);
    return query;
}
