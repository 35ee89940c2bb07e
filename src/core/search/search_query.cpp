#include "search/search_query.h"

#include "search/search_text.h"
#include "text/text_scan.h"
#include "value/value_reader.h"

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The length of the value at the start of text: a sign, digits with a fraction, an exponent,
// as the input field reads them; 0 when text starts with none, or with one that goes on as a
// number or a fraction would.
std::size_t valueLength(std::string_view text) {
    std::size_t at = 0;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
    const std::size_t digitsStart = at;
    while (at < text.size() && isDigit(text[at]))
        ++at;
    bool anyDigit = at > digitsStart;
    if (at < text.size() && text[at] == '.') {
        const std::size_t fraction = ++at;
        while (at < text.size() && isDigit(text[at]))
            ++at;
        anyDigit = anyDigit || at > fraction;
    }
    if (!anyDigit) return 0;
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        std::size_t exponent = at + 1;
        if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-')) ++exponent;
        if (exponent < text.size() && isDigit(text[exponent])) {
            at = exponent;
            while (at < text.size() && isDigit(text[at]))
                ++at;
        }
    }
    if (at < text.size() &&
        std::string_view("0123456789.,/").find(text[at]) != std::string_view::npos)
        return 0;
    return at;
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

SearchQuery parseSearchQuery(std::string_view utf8, char decimalSeparator) {
    SearchQuery query;
    std::string_view rest = utf8.substr(std::min(utf8.size(), utf8.find_first_not_of(whiteSpace)));
    const bool startsWithNumber =
        !rest.empty() &&
        (isDigit(rest[0]) || std::string_view("(.+-").find(rest[0]) != std::string_view::npos ||
         static_cast<unsigned char>(rest[0]) >= 0x80);
    const Result<QuantityRead> quantity =
        startsWithNumber ? readQuantity(rest, decimalSeparator) : Failure{};
    // A number alone names no unit to convert: it may be a word of a label ("1/72").
    const bool numberAlone = quantity && quantity->parts.size() == 1 &&
                             quantity->parts.front().unit.empty() && quantity->end == rest.size();
    if (quantity && !numberAlone) {
        // One number: the value is the number and its unit the first words. Several: the value
        // is the whole quantity, and the From unit the first one's.
        query.value = quantity->parts.size() == 1 ? quantity->parts.front().number : quantity->text;
        addWords(query, query.fromWords, quantity->parts.front().unit);
        rest.remove_prefix(quantity->end);
    } else if (const std::size_t length = valueLength(rest); length > 0) {
        query.value = rest.substr(0, length);
        rest.remove_prefix(length);
    } else if (!quantity && startsWithNumber && isDigit(rest[0])) {
        query.valueProblem = quantity.why();
    }
    QueryTokens tokens(rest);
    for (QueryToken token; tokens.next(token);) {
        // Only the first separator separates; a later "to" is a word like any other.
        if (!query.hasTo && token.separator) {
            query.hasTo = true;
        } else if (!token.arrow &&
                   !addWord(query, query.hasTo ? query.toWords : query.fromWords, token.text)) {
            break;
        }
    }
    return query;
}

SearchQuery unitPairQuery(std::string_view from, std::string_view to) {
    SearchQuery query;
    query.hasTo = true;
    addWords(query, query.fromWords, from);
    addWords(query, query.toWords, to);
    return query;
}
