#include "commands/conversion_search.h"

#include "catalog/case_fold.h"
#include "catalog/catalog.h"
#include "catalog/display_text.h"

#include <algorithm>

namespace {

constexpr std::string_view arrow = "\xE2\x86\x92"; // →, U+2192

bool isWordByte(unsigned char byte) {
    return (byte >= '0' && byte <= '9') || (byte >= 'a' && byte <= 'z') ||
           (byte >= 'A' && byte <= 'Z') || byte >= 0x80;
}

// Calls word for each word of text and to for each "→" or "->" between them.
template <typename Word, typename To> void scanWords(std::string_view text, Word word, To to) {
    std::size_t at = 0;
    while (at < text.size()) {
        if (text.substr(at, arrow.size()) == arrow) {
            to();
            at += arrow.size();
        } else if (text.substr(at, 2) == "->") {
            to();
            at += 2;
        } else if (isWordByte(static_cast<unsigned char>(text[at]))) {
            std::size_t end = at;
            while (end < text.size() && isWordByte(static_cast<unsigned char>(text[end])) &&
                   text.substr(end, arrow.size()) != arrow)
                ++end;
            word(text.substr(at, end - at));
            at = end;
        } else {
            ++at;
        }
    }
}

bool allMatch(const std::vector<std::string>& words, const std::vector<std::string>& label) {
    return std::all_of(words.begin(), words.end(),
                       [&](const std::string& word) { return wordMatchesLabel(word, label); });
}

} // namespace

std::vector<std::string> searchWords(std::string_view utf8) {
    std::vector<std::string> words;
    const std::string folded = foldCase(utf8);
    // An arrow inside a label separates words like any other sign.
    scanWords(
        folded, [&](std::string_view word) { words.emplace_back(word); }, [] {});
    return words;
}

SearchQuery parseSearchQuery(std::string_view utf8) {
    SearchQuery query;
    const std::string folded = foldCase(utf8);
    auto separate = [&] {
        // Only the first "to" separates; a later arrow is a sign like any other.
        query.hasTo = true;
    };
    scanWords(
        folded,
        [&](std::string_view word) {
            if (!query.hasTo && word == "to") return separate();
            (query.hasTo ? query.toWords : query.fromWords).emplace_back(word);
        },
        [&] {
            if (!query.hasTo) separate();
        });
    return query;
}

bool wordMatchesLabel(std::string_view word, const std::vector<std::string>& labelWords) {
    return std::any_of(labelWords.begin(), labelWords.end(), [&](const std::string& label) {
        return std::string_view(label).substr(0, word.size()) == word;
    });
}

bool queryMatches(const SearchQuery& query, const std::vector<std::string>& fromLabelWords,
                  const std::vector<std::string>& toLabelWords) {
    if (query.hasTo)
        return allMatch(query.fromWords, fromLabelWords) && allMatch(query.toWords, toLabelWords);
    return std::all_of(query.fromWords.begin(), query.fromWords.end(), [&](const auto& word) {
        return wordMatchesLabel(word, fromLabelWords) || wordMatchesLabel(word, toLabelWords);
    });
}

ConversionSearch::ConversionSearch(const ConversionCatalog& catalog) {
    int tab = 0;
    for (int id = 0; id < catalog.categoryCount(); ++id) {
        const Category* category = catalog.categoryAt(id);
        if (category->visible() == 0) continue;
        for (const auto& conversion : category->conversions()) {
            const int from = wordsOf(conversion.fromUnit());
            const int to = wordsOf(conversion.toUnit());
            entries_.push_back({{tab, category, &conversion}, from, to});
        }
        ++tab;
    }
}

int ConversionSearch::wordsOf(std::string_view label) {
    const auto [found, added] =
        labelIndex_.try_emplace(std::string(label), static_cast<int>(labelWords_.size()));
    if (added) labelWords_.push_back(searchWords(toDisplayText(label)));
    return found->second;
}

SearchResult ConversionSearch::find(std::string_view text, int limit) const {
    const SearchQuery query = parseSearchQuery(text);
    SearchResult result;
    for (const Entry& entry : entries_) {
        if (!queryMatches(query, labelWords_[entry.fromWords], labelWords_[entry.toWords]))
            continue;
        if (result.total++ < limit) result.matches.push_back(entry.match);
    }
    return result;
}

std::string matchText(const ConversionMatch& match) {
    return toDisplayText(match.category->name()) + ": " +
           toDisplayText(match.conversion->fromUnit()) + " " + std::string(arrow) + " " +
           toDisplayText(match.conversion->toUnit());
}
