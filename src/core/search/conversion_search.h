#pragma once

#include "names/unit_names.h"
#include "search/label_ranks.h"
#include "search/search_query.h"

#include <string>
#include <string_view>
#include <vector>

class Category;
class Conversion;
class ConversionCatalog;

// Finding a conversion by what people type for its units (see search_query.h): each word must
// match the From or the To unit, by the unit's label or its names (unit_names.h); with a "to", the
// words before it the From unit and those after it the To unit. A conversion is as good as its
// worst-matching word (label_ranks.h); better conversions come first. Without a "to", among equal
// ones, those whose From unit takes the first words come first ("mi km" lists Miles → Kilometers
// before Kilometers → Miles). Otherwise catalog order.

struct ConversionMatch {
    // The category's tab: its place among the shown categories; -1 for a hidden category.
    int tab = 0;
    const Category* category = nullptr;
    const Conversion* conversion = nullptr;
    // Its worst-matching word.
    MatchRank rank = MatchRank::Exact;
};

struct SearchResult {
    // The first matches, best first.
    std::vector<ConversionMatch> matches;
    // Every match, those beyond the limit included.
    int total = 0;
    // The value typed before the units, as typed; empty when there is none.
    std::string value;
    // Words beyond SearchQuery::maxWords were left out.
    bool truncated = false;
    // Without a match, why, as a sentence for the user: the word that names no unit and the
    // closest names, or the units that no conversion pairs.
    std::string whyNone;
};

// Which categories a search covers.
struct SearchScope {
    // The hidden ones too (the command line converts them; the window shows only the others).
    bool hiddenToo = false;
    // Only this one, when given.
    const Category* only = nullptr;
};

// The conversions of a catalog, indexed once for many queries. The catalog must outlive the
// search and keep its conversions while it is used; the names are shared with it, not copied.
class ConversionSearch {
  public:
    // At most this many matches are listed.
    static constexpr int defaultLimit = 300;

    explicit ConversionSearch(const ConversionCatalog& catalog);
    ConversionSearch(const ConversionCatalog& catalog, const UnitNames& names,
                     SearchScope scope = {});

    SearchResult find(const SearchQuery& query, int limit = defaultLimit) const;
    // For a query with "to" and words on both sides: the first conversion, in catalog order,
    // whose From and To units each match their side as well as any unit of the search does; no
    // conversion when none does. A script gets no Pound-force feet for "ft" when Feet exist.
    ConversionMatch closestPair(const SearchQuery& query) const;
    // How many conversions the search covers.
    int size() const { return static_cast<int>(entries_.size()); }

  private:
    struct Entry {
        ConversionMatch match;
        int from;
        int to;
    };
    // From the ranks find() computed for the two sides.
    std::string whyNone(const SearchQuery& query, const std::vector<MatchRank>& fromRanks,
                        const std::vector<MatchRank>& toRanks) const;
    // The label that matches best every word of the columns first to last of ranks (labels
    // times columns), the first of equals; -1 for none.
    int bestLabel(const std::vector<MatchRank>& ranks, std::size_t columns, std::size_t first,
                  std::size_t last) const;
    // How label matches all the columns first to last of ranks: its worst word.
    static MatchRank labelRank(const std::vector<MatchRank>& ranks, std::size_t columns,
                               std::size_t label, std::size_t first, std::size_t last);

    std::vector<Entry> entries_;
    LabelVocabulary labels_;
    // The names that take prefixes, to say what a prefixed unit is that the list lacks.
    std::vector<PrefixBase> prefixBases_;
};

// The line the dialog lists for a match, in UTF-8: "Length: Meters → Feet".
std::string matchText(const ConversionMatch& match);
