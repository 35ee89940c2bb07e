#include "search/closest_labels.h"

#include "names/unit_names.h"
#include "search/label_ranks.h"
#include "text/case_fold.h"
#include "text/edit_distance.h"
#include "text/search_text.h"

#include <algorithm>
#include <queue>

namespace {

// Distances beyond farthest are all alike.
constexpr std::size_t farthest = 16;

std::string_view start(std::string_view text) {
    return text.substr(0, comparedLength);
}

// The sum over words of the distance to the nearest word of the label, or bound + 1 once beyond.
std::size_t wordsDistance(const std::vector<std::string>& words, const LabelVocabulary& vocabulary,
                          int label, std::size_t bound) {
    const std::size_t labelWords = vocabulary.wordCount(label);
    if (words.empty() || labelWords == 0) return bound + 1;
    std::size_t sum = 0;
    for (const std::string& word : words) {
        std::size_t nearest = bound + 1;
        for (std::size_t w = 0; w < labelWords; ++w)
            nearest = std::min(
                nearest, boundedEditDistance(word, start(vocabulary.word(label, w)), bound - sum));
        sum += nearest;
        if (sum > bound) return bound + 1;
    }
    return sum;
}

} // namespace

std::vector<std::string> closestLabels(std::string_view text,
                                       const std::vector<std::string>& labels, std::size_t count) {
    return closestLabels(text, labels, count, UnitNames{});
}

std::vector<std::string> closestLabels(std::string_view text,
                                       const std::vector<std::string>& labels, std::size_t count,
                                       const UnitNames& names) {
    LabelVocabulary vocabulary;
    vocabulary.reserve(labels.size());
    std::vector<int> ids;
    ids.reserve(labels.size());
    for (const std::string& label : labels)
        ids.push_back(vocabulary.add(label, names));
    const std::vector<QueryWord> words = unitPairQuery(text, {}).fromWords;
    std::vector<MatchRank> ranks;
    vocabulary.rank(words, ranks);

    struct Ranked {
        int tier;
        std::size_t measure;
        std::size_t order;
    };
    std::vector<Ranked> ranked;
    std::vector<std::size_t> rest;
    for (std::size_t i = 0; i < labels.size(); ++i) {
        MatchRank rank = words.empty() ? MatchRank::None : MatchRank::Exact;
        for (std::size_t w = 0; w < words.size(); ++w)
            rank = std::max(rank, ranks[static_cast<std::size_t>(ids[i]) * words.size() + w]);
        if (rank == MatchRank::None)
            rest.push_back(i);
        else
            ranked.push_back({static_cast<int>(rank), 0, i});
    }
    // The others by distance, only as many as are still wanted: the bound shrinks to the
    // farthest of the nearest found so far.
    if (ranked.size() < count) {
        const std::size_t wanted = count - ranked.size();
        const std::string foldedText = foldCase(text);
        const std::string_view folded = start(foldedText);
        std::vector<std::string> textWords;
        // Compared with the label's words in the same form: those of the key.
        for (const std::string& word : searchWords(searchKey(text))) {
            if (textWords.size() == SearchQuery::maxWords) break;
            textWords.emplace_back(start(word));
        }
        std::priority_queue<std::size_t> nearest;
        for (const std::size_t i : rest) {
            const std::size_t bound = nearest.size() == wanted ? nearest.top() : farthest;
            std::size_t distance =
                std::min(boundedEditDistance(folded, start(vocabulary.folded(ids[i])), bound),
                         wordsDistance(textWords, vocabulary, ids[i], bound));
            for (const std::string_view name : vocabulary.namesOf(ids[i]))
                distance = std::min(distance, boundedEditDistance(folded, start(foldCase(name)),
                                                                  std::min(distance, bound)));
            ranked.push_back({static_cast<int>(MatchRank::None), distance, i});
            if (distance <= bound) {
                nearest.push(distance);
                if (nearest.size() > wanted) nearest.pop();
            }
        }
    }
    const std::size_t shown = std::min(count, ranked.size());
    std::partial_sort(ranked.begin(), ranked.begin() + static_cast<std::ptrdiff_t>(shown),
                      ranked.end(), [](const Ranked& a, const Ranked& b) {
                          if (a.tier != b.tier) return a.tier < b.tier;
                          if (a.measure != b.measure) return a.measure < b.measure;
                          return a.order < b.order;
                      });
    std::vector<std::string> closest;
    for (std::size_t i = 0; i < shown; ++i)
        closest.push_back(labels[ranked[i].order]);
    return closest;
}
