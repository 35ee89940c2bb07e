#include "search/conversion_search.h"

#include "catalog/catalog.h"
#include "names/unit_names.h"
#include "names/unit_prefixes.h"
#include "text/case_fold.h"
#include "text/display_text.h"

#include <algorithm>
#include <array>

ConversionSearch::ConversionSearch(const ConversionCatalog& catalog)
    : ConversionSearch(catalog, UnitNames{}) {}

ConversionSearch::ConversionSearch(const ConversionCatalog& catalog, const UnitNames& names,
                                   SearchScope scope)
    : prefixBases_(names.prefixBases()) {
    int tab = 0;
    for (int id = 0; id < catalog.categoryCount(); ++id) {
        const Category* category = catalog.categoryAt(id);
        const bool shown = category->visible() != 0;
        if ((shown || scope.hiddenToo) && (!scope.only || scope.only == category)) {
            for (const auto& conversion : category->conversions()) {
                const int from = labels_.add(conversion.fromUnit(), names);
                const int to = labels_.add(conversion.toUnit(), names);
                entries_.push_back(
                    {{shown ? tab : -1, category, &conversion, MatchRank::Exact}, from, to});
            }
        }
        if (shown) ++tab;
    }
}

SearchResult ConversionSearch::find(const SearchQuery& query, int limit) const {
    SearchResult result;
    result.value = query.value;
    result.truncated = query.truncated;
    const std::size_t limitCount = static_cast<std::size_t>(std::max(0, limit));
    // Without a "to" every word may match either unit; the From ranks serve both sides.
    std::vector<MatchRank> fromRanks;
    std::vector<MatchRank> toRanks;
    labels_.rank(query.fromWords, fromRanks);
    if (query.hasTo) labels_.rank(query.toWords, toRanks);
    const std::size_t fromCount = query.fromWords.size();
    const std::size_t toCount = query.toWords.size();

    // One list per rank, and per typed order without a "to"; each in catalog order.
    std::array<std::vector<ConversionMatch>, 2 * static_cast<std::size_t>(MatchRank::None)> buckets;
    for (const Entry& entry : entries_) {
        const auto from = static_cast<std::size_t>(entry.from);
        const auto to = static_cast<std::size_t>(entry.to);
        MatchRank rank = MatchRank::Exact;
        bool outOfOrder = false;
        if (query.hasTo) {
            rank = std::max(labelRank(fromRanks, fromCount, from, 0, fromCount),
                            labelRank(toRanks, toCount, to, 0, toCount));
        } else {
            // People name the unit they have first: the words in order are those of the From
            // unit, then those of the To unit. A word of the To unit before any of the From
            // unit, or one of the From unit after it, is out of that order ("5 mi" is from
            // miles).
            bool sawFrom = false;
            bool sawTo = false;
            for (std::size_t w = 0; w < fromCount && rank != MatchRank::None; ++w) {
                const MatchRank asFrom = fromRanks[from * fromCount + w];
                const MatchRank asTo = fromRanks[to * fromCount + w];
                rank = std::max(rank, std::min(asFrom, asTo));
                const bool ofFrom = asFrom <= asTo;
                outOfOrder = outOfOrder || (ofFrom ? sawTo : !sawFrom);
                (ofFrom ? sawFrom : sawTo) = true;
            }
        }
        if (rank == MatchRank::None) continue;
        ++result.total;
        auto& bucket = buckets[2 * static_cast<std::size_t>(rank) + (outOfOrder ? 1 : 0)];
        if (bucket.size() < limitCount) {
            bucket.push_back(entry.match);
            bucket.back().rank = rank;
        }
    }
    for (const auto& bucket : buckets)
        for (const ConversionMatch& match : bucket)
            if (result.matches.size() < limitCount) result.matches.push_back(match);
    // A value that cannot be read explains more than the words it left behind.
    if (result.total == 0)
        result.whyNone =
            query.valueProblem.empty() ? whyNone(query, fromRanks, toRanks) : query.valueProblem;
    return result;
}

ConversionMatch ConversionSearch::closestPair(const SearchQuery& query) const {
    if (!query.hasTo || query.fromWords.empty() || query.toWords.empty())
        return {0, nullptr, nullptr, MatchRank::None};
    std::vector<MatchRank> fromRanks;
    std::vector<MatchRank> toRanks;
    labels_.rank(query.fromWords, fromRanks);
    labels_.rank(query.toWords, toRanks);
    const std::size_t fromCount = query.fromWords.size();
    const std::size_t toCount = query.toWords.size();
    const auto rankOf = [](const std::vector<MatchRank>& ranks, std::size_t columns, int label) {
        return label < 0 ? MatchRank::None
                         : labelRank(ranks, columns, static_cast<std::size_t>(label), 0, columns);
    };
    const MatchRank bestFrom =
        rankOf(fromRanks, fromCount, bestLabel(fromRanks, fromCount, 0, fromCount));
    const MatchRank bestTo = rankOf(toRanks, toCount, bestLabel(toRanks, toCount, 0, toCount));
    for (const Entry& entry : entries_) {
        if (bestFrom == MatchRank::None || bestTo == MatchRank::None) break;
        if (rankOf(fromRanks, fromCount, entry.from) == bestFrom &&
            rankOf(toRanks, toCount, entry.to) == bestTo) {
            ConversionMatch match = entry.match;
            match.rank = std::max(bestFrom, bestTo);
            return match;
        }
    }
    return {0, nullptr, nullptr, MatchRank::None};
}

MatchRank ConversionSearch::labelRank(const std::vector<MatchRank>& ranks, std::size_t columns,
                                      std::size_t label, std::size_t first, std::size_t last) {
    MatchRank rank = MatchRank::Exact;
    for (std::size_t w = first; w < last; ++w)
        rank = std::max(rank, ranks[label * columns + w]);
    return rank;
}

int ConversionSearch::bestLabel(const std::vector<MatchRank>& ranks, std::size_t columns,
                                std::size_t first, std::size_t last) const {
    int best = -1;
    MatchRank bestRank = MatchRank::None;
    for (int label = 0; label < labels_.size(); ++label) {
        const MatchRank rank =
            labelRank(ranks, columns, static_cast<std::size_t>(label), first, last);
        if (rank < bestRank) {
            best = label;
            bestRank = rank;
        }
    }
    return best;
}

std::string ConversionSearch::whyNone(const SearchQuery& query,
                                      const std::vector<MatchRank>& fromRanks,
                                      const std::vector<MatchRank>& toRanks) const {
    if (entries_.empty()) return "No conversion matches.";
    // A side of the query: some of its words, their ranks the columns first to last.
    struct Side {
        const std::vector<QueryWord>* words;
        const std::vector<MatchRank>* ranks;
        std::size_t first;
        std::size_t last;
    };
    const Side from{&query.fromWords, &fromRanks, 0, query.fromWords.size()};
    const Side to{&query.toWords, &toRanks, 0, query.toWords.size()};
    auto best = [&](const Side& side) {
        return bestLabel(*side.ranks, side.words->size(), side.first, side.last);
    };
    auto typed = [](const Side& side) {
        std::string text;
        for (std::size_t w = side.first; w < side.last; ++w)
            text += (text.empty() ? "" : " ") + (*side.words)[w].typed;
        return text;
    };
    for (const Side& side : {from, to})
        for (std::size_t w = side.first; w < side.last; ++w) {
            const QueryWord& word = (*side.words)[w];
            const int found = best({side.words, side.ranks, w, w + 1});
            // A prefixed unit of one in the list, where no name or label word is meant.
            if (found < 0 || labelRank(*side.ranks, side.words->size(),
                                       static_cast<std::size_t>(found), w, w + 1) > MatchRank::Word)
                for (const PrefixedUnit& unit : prefixReadings(word.typed, prefixBases_))
                    for (int label = 0; label < labels_.size(); ++label)
                        if (equalIgnoringCase(labels_.text(label), unit.label))
                            return "\"" + word.typed + "\" is " + unit.shown +
                                   ", which the list has no entry for: choose " +
                                   std::string(labels_.text(label)) + ".";
            if (found >= 0) continue;
            std::string text = "No unit is called \"" + word.typed + "\"";
            const std::vector<std::string> closest = labels_.nearestTexts(word.key, 3);
            for (std::size_t i = 0; i < closest.size(); ++i)
                text += (i == 0 ? "; the closest: " : ", ") + closest[i];
            return text + ".";
        }
    auto pair = [&](const Side& fromSide, const Side& toSide) -> std::string {
        const bool fromWords = fromSide.first < fromSide.last;
        const bool toWords = toSide.first < toSide.last;
        const int fromLabel = fromWords ? best(fromSide) : -1;
        const int toLabel = toWords ? best(toSide) : -1;
        if (fromWords && fromLabel < 0)
            return "No unit matches all of \"" + typed(fromSide) + "\".";
        if (toWords && toLabel < 0) return "No unit matches all of \"" + typed(toSide) + "\".";
        if (fromLabel >= 0 && toLabel >= 0)
            return "No conversion from " + std::string(labels_.text(fromLabel)) + " to " +
                   std::string(labels_.text(toLabel)) + ".";
        if (fromLabel >= 0)
            return "No conversion from " + std::string(labels_.text(fromLabel)) + ".";
        if (toLabel >= 0) return "No conversion to " + std::string(labels_.text(toLabel)) + ".";
        return "No conversion matches.";
    };
    if (query.hasTo) return pair(from, to);
    // Without a "to", the first words that make a unit are taken for the From unit.
    for (std::size_t split = 1; split < from.last; ++split) {
        const Side before{from.words, from.ranks, 0, split};
        const Side after{from.words, from.ranks, split, from.last};
        if (best(before) >= 0 && best(after) >= 0) return pair(before, after);
    }
    return "No unit matches all of \"" + typed(from) + "\".";
}

std::string matchText(const ConversionMatch& match) {
    return toDisplayText(match.category->name()) + ": " +
           toDisplayText(match.conversion->fromUnit()) + " " + std::string(unitArrow) + " " +
           toDisplayText(match.conversion->toUnit());
}
