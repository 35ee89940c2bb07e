#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class Category;
class Conversion;
class ConversionCatalog;

// Finding a conversion by a few words of its unit labels, for the Find Conversion dialog.
//
// The query is split into words. A word matches a label when it is, letter case aside, the
// start of one of the label's words. Every word must match the From or the To label; when the
// query holds the word "to" (or "→", or "->"), the words before it must match the From label
// and the words after it the To label. Words are runs of letters and digits (any character
// outside ASCII counts as a letter), so "1/72" is the two words "1" and "72".

// The words of a UTF-8 text, letter case folded away, in order.
std::vector<std::string> searchWords(std::string_view utf8);

struct SearchQuery {
    // The words, or with a "to" the words before it.
    std::vector<std::string> fromWords;
    // The words after the "to"; always empty without one.
    std::vector<std::string> toWords;
    bool hasTo = false;
};

SearchQuery parseSearchQuery(std::string_view utf8);

// True when word is, letter case aside, the start of one of labelWords (already folded).
bool wordMatchesLabel(std::string_view word, const std::vector<std::string>& labelWords);

// True when a conversion with these labels' words matches the query.
bool queryMatches(const SearchQuery& query, const std::vector<std::string>& fromLabelWords,
                  const std::vector<std::string>& toLabelWords);

struct ConversionMatch {
    // The category's tab: its place among the shown categories.
    int tab = 0;
    const Category* category = nullptr;
    const Conversion* conversion = nullptr;
};

struct SearchResult {
    // The first matches, in catalog order.
    std::vector<ConversionMatch> matches;
    // Every match, those beyond the limit included.
    int total = 0;
};

// The conversions of the shown categories, indexed once for many queries. The catalog must
// outlive the search and keep its conversions while it is used.
class ConversionSearch {
  public:
    // At most this many matches are listed.
    static constexpr int defaultLimit = 300;

    explicit ConversionSearch(const ConversionCatalog& catalog);

    SearchResult find(std::string_view query, int limit = defaultLimit) const;
    // How many conversions the shown categories hold.
    int size() const { return static_cast<int>(entries_.size()); }

  private:
    struct Entry {
        ConversionMatch match;
        int fromWords;
        int toWords;
    };
    int wordsOf(std::string_view label);

    std::vector<Entry> entries_;
    // The folded words of each distinct label; labels repeat a lot, so each is split once.
    std::vector<std::vector<std::string>> labelWords_;
    std::unordered_map<std::string, int> labelIndex_;
};

// The line the dialog lists for a match, in UTF-8: "Length: Meters → Feet".
std::string matchText(const ConversionMatch& match);
