#include "search/conversion_search.h"

#include "catalog/catalog.h"
#include "catalog/display_text.h"
#include "search/unit_names.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::string_view arrow = "\xE2\x86\x92"; // →, U+2192

std::string typedText(const std::vector<QueryWord>& words) {
    std::string text;
    for (const QueryWord& word : words)
        text += (text.empty() ? "" : " ") + word.typed;
    return text;
}

} // namespace

ConversionSearch::ConversionSearch(const ConversionCatalog& catalog)
    : ConversionSearch(catalog, UnitNames{}) {}

ConversionSearch::ConversionSearch(const ConversionCatalog& catalog, const UnitNames& names,
                                   SearchScope scope) {
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

SearchResult ConversionSearch::find(std::string_view text, int limit) const {
    return find(parseSearchQuery(text), limit);
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
    std::array<std::vector<ConversionMatch>, 2 * 4> buckets;
    for (const Entry& entry : entries_) {
        const auto from = static_cast<std::size_t>(entry.from);
        const auto to = static_cast<std::size_t>(entry.to);
        MatchRank rank = MatchRank::Exact;
        bool outOfOrder = false;
        if (query.hasTo) {
            for (std::size_t w = 0; w < fromCount; ++w)
                rank = std::max(rank, fromRanks[from * fromCount + w]);
            for (std::size_t w = 0; w < toCount; ++w)
                rank = std::max(rank, toRanks[to * toCount + w]);
        } else {
            bool sawTo = false;
            for (std::size_t w = 0; w < fromCount && rank != MatchRank::None; ++w) {
                const MatchRank asFrom = fromRanks[from * fromCount + w];
                const MatchRank asTo = fromRanks[to * fromCount + w];
                rank = std::max(rank, std::min(asFrom, asTo));
                // A word that belongs to the From unit after one that belongs to the To unit.
                if (asFrom <= asTo)
                    outOfOrder = outOfOrder || sawTo;
                else
                    sawTo = true;
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
    if (result.total == 0) result.whyNone = whyNone(query);
    return result;
}

int ConversionSearch::bestLabel(const std::vector<QueryWord>& words) const {
    std::vector<MatchRank> ranks;
    labels_.rank(words, ranks);
    int best = -1;
    MatchRank bestRank = MatchRank::None;
    for (int label = 0; label < labels_.size(); ++label) {
        MatchRank rank = MatchRank::Exact;
        for (std::size_t w = 0; w < words.size(); ++w)
            rank = std::max(rank, ranks[static_cast<std::size_t>(label) * words.size() + w]);
        if (rank < bestRank) {
            best = label;
            bestRank = rank;
        }
    }
    return best;
}

std::string ConversionSearch::whyNone(const SearchQuery& query) const {
    if (entries_.empty()) return "No conversion matches.";
    std::vector<QueryWord> words = query.fromWords;
    words.insert(words.end(), query.toWords.begin(), query.toWords.end());
    for (const QueryWord& word : words) {
        if (bestLabel({word}) >= 0) continue;
        std::string text = "No unit is called \"" + word.typed + "\"";
        const std::vector<std::string> closest = labels_.nearestTexts(word.key, 3);
        for (std::size_t i = 0; i < closest.size(); ++i)
            text += (i == 0 ? "; the closest: " : ", ") + closest[i];
        return text + ".";
    }
    auto sides = [&](const std::vector<QueryWord>& from,
                     const std::vector<QueryWord>& to) -> std::string {
        const int fromLabel = from.empty() ? -1 : bestLabel(from);
        const int toLabel = to.empty() ? -1 : bestLabel(to);
        if (!from.empty() && fromLabel < 0)
            return "No unit matches all of \"" + typedText(from) + "\".";
        if (!to.empty() && toLabel < 0) return "No unit matches all of \"" + typedText(to) + "\".";
        if (fromLabel >= 0 && toLabel >= 0)
            return "No conversion from " + std::string(labels_.text(fromLabel)) + " to " +
                   std::string(labels_.text(toLabel)) + ".";
        if (fromLabel >= 0)
            return "No conversion from " + std::string(labels_.text(fromLabel)) + ".";
        if (toLabel >= 0) return "No conversion to " + std::string(labels_.text(toLabel)) + ".";
        return "No conversion matches.";
    };
    if (query.hasTo) return sides(query.fromWords, query.toWords);
    // Without a "to", the first words that make a unit are taken for the From unit.
    for (std::size_t split = 1; split < words.size(); ++split) {
        const std::vector<QueryWord> from(words.begin(), words.begin() + split);
        const std::vector<QueryWord> to(words.begin() + split, words.end());
        if (bestLabel(from) >= 0 && bestLabel(to) >= 0) return sides(from, to);
    }
    return "No unit matches all of \"" + typedText(words) + "\".";
}

std::string matchText(const ConversionMatch& match) {
    return toDisplayText(match.category->name()) + ": " +
           toDisplayText(match.conversion->fromUnit()) + " " + std::string(arrow) + " " +
           toDisplayText(match.conversion->toUnit());
}
