#include "search/unit_pair.h"

#include "catalog/catalog.h"
#include "search/closest_labels.h"
#include "search/conversion_search.h"
#include "search/label_ranks.h"
#include "search/quantity_value.h"
#include "search/search_text.h"
#include "search/unit_names.h"
#include "text/case_fold.h"
#include "text/display_text.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <unordered_map>
#include <unordered_set>

namespace {

std::string display(std::string_view bytes) {
    return toDisplayText(bytes);
}

// "A", "B" and "C" for a message.
std::string quotedList(const std::vector<std::string>& labels) {
    std::string text;
    for (std::size_t i = 0; i < labels.size(); ++i) {
        if (i > 0) text += i + 1 == labels.size() ? " or " : ", ";
        text += "\"" + labels[i] + "\"";
    }
    return text;
}

std::string closestClause(const std::vector<std::string>& closest) {
    return closest.empty() ? std::string() : "; the closest: " + quotedList(closest);
}

// The distinct labels of a list, in first-seen order, each added once.
class LabelList {
  public:
    void add(const std::string& label) {
        if (seen_.insert(label).second) labels.push_back(label);
    }
    std::vector<std::string> labels;

  private:
    std::unordered_set<std::string> seen_;
};

// A text the user typed, to compare with labels as written or ignoring letter case; folded once,
// so that a long text costs its length once, not once per label. Folding keeps the length.
class TypedLabel {
  public:
    explicit TypedLabel(std::string_view text) : text_(text), folded_(foldCase(text)) {}
    bool matches(std::string_view label, bool ignoringCase) const {
        if (!ignoringCase) return label == text_;
        const std::string shown = display(label);
        return shown.size() == folded_.size() && foldCase(shown) == folded_;
    }

  private:
    std::string_view text_;
    std::string folded_;
};

// The categories to look in: the named one, or all in file order.
std::vector<const Category*> categoriesToSearch(const ConversionCatalog& catalog,
                                                const Category* category) {
    if (category) return {category};
    std::vector<const Category*> all;
    for (int id = 0; id < catalog.categoryCount(); ++id)
        all.push_back(catalog.categoryAt(id));
    return all;
}

// The catalog, its names and the search over them, made on first use: labels typed as written
// need no search, and a large catalog costs time to index.
class PairFinder {
  public:
    PairFinder(const ConversionCatalog& catalog, const UnitNames& names,
               const UnitPairRequest& request)
        : catalog_(catalog), names_(names), request_(request) {}

    Result<UnitPair> resolve();

  private:
    const ConversionSearch& search() {
        if (!search_) search_.emplace(catalog_, names_, SearchScope{true, request_.only});
        return *search_;
    }
    FoundConversion byLabels(std::string_view from, std::string_view to) const {
        return findConversion(catalog_, from, to, request_.only);
    }
    std::optional<UnitPair> splitPair();
    Result<FoundConversion> pickConversion(std::string_view from, std::string_view to);
    bool missesATypedLabel(const Conversion& found) const;
    std::vector<double> splitSizes(const std::vector<std::string>& words, const Category& category,
                                   std::string_view unit) const;
    FoundConversion convertingFrom(std::string_view from);
    std::string notFound();

    const ConversionCatalog& catalog_;
    const UnitNames& names_;
    const UnitPairRequest& request_;
    std::optional<ConversionSearch> search_;
};

Result<UnitPair> PairFinder::resolve() {
    if (std::optional<UnitPair> split = splitPair()) return *split;
    if (const FoundConversion found = byLabels(request_.from, request_.to); found.conversion)
        return UnitPair{found.category, found.conversion, false, {}, {}};
    const Result<FoundConversion> picked = pickConversion(request_.from, request_.to);
    if (!picked) return Failure{picked.why()};
    if (picked->conversion && !missesATypedLabel(*picked->conversion))
        return UnitPair{picked->category, picked->conversion, true, {}, {}};
    return Failure{notFound()};
}

// A To side of several words may name units to split the result into ("ft in"): its first word
// the unit converted to, each further word exactly one smaller unit of that category. None when
// the To side is one unit, a label as a whole, or names no such units.
std::optional<UnitPair> PairFinder::splitPair() {
    std::vector<std::string> words;
    for (const QueryWord& word : unitPairQuery({}, request_.to).toWords)
        words.push_back(word.typed);
    if (words.size() < 2 || byLabels(request_.from, request_.to).conversion) return std::nullopt;
    UnitPair pair;
    FoundConversion found = byLabels(request_.from, words.front());
    if (!found.conversion) {
        // A tie here only means that the words are not a split.
        const Result<FoundConversion> picked = pickConversion(request_.from, words.front());
        if (picked) found = *picked;
        pair.byNames = true;
    }
    if (!found.conversion) return std::nullopt;
    pair.splitSizes = splitSizes(words, *found.category, found.conversion->toUnit());
    if (pair.splitSizes.empty()) return std::nullopt;
    pair.category = found.category;
    pair.conversion = found.conversion;
    pair.splitWords = std::move(words);
    return pair;
}

// How well each label matches words, as Find ranks them, and how many words its closest name
// has beyond those typed: of units that match equally, the one whose name is the words typed
// and least else is meant ("oz" is the "fl oz" sooner than the "imp fl oz").
struct SideRanks {
    std::vector<MatchRank> ranks;
    std::vector<std::size_t> extraWords;
};

SideRanks sideRanks(const std::vector<std::string_view>& labels,
                    const std::vector<QueryWord>& words, const UnitNames& names) {
    LabelVocabulary vocabulary;
    for (const std::string_view label : labels)
        vocabulary.add(label, names);
    std::vector<MatchRank> ranks;
    vocabulary.rank(words, ranks);
    SideRanks side;
    for (std::size_t label = 0; label < labels.size(); ++label) {
        const int id = vocabulary.add(labels[label], names);
        MatchRank rank = MatchRank::Exact;
        for (std::size_t w = 0; w < words.size(); ++w)
            rank = std::max(rank, ranks[static_cast<std::size_t>(id) * words.size() + w]);
        side.ranks.push_back(rank);
        std::size_t fewest = SIZE_MAX;
        std::vector<std::string_view> texts = vocabulary.namesOf(id);
        texts.push_back(vocabulary.text(id));
        for (const std::string_view text : texts) {
            const std::vector<std::string> nameWords = searchWords(searchKey(text));
            const bool all = std::all_of(words.begin(), words.end(), [&](const QueryWord& word) {
                return std::find(nameWords.begin(), nameWords.end(), word.key) != nameWords.end();
            });
            if (all)
                fewest =
                    std::min(fewest, nameWords.size() - std::min(nameWords.size(), words.size()));
        }
        side.extraWords.push_back(fewest);
    }
    return side;
}

// The conversion Find lists first for from → to, of those that match each side best; none when
// nothing matches. Where several units of a side still match it equally well, nothing decides:
// a script must not get a guess, so the answer is the list of them.
Result<FoundConversion> PairFinder::pickConversion(std::string_view from, std::string_view to) {
    const SearchQuery query = unitPairQuery(from, to);
    if (query.fromWords.empty() || query.toWords.empty()) return FoundConversion{};
    const SearchResult result = search().find(query);
    if (result.matches.empty()) return FoundConversion{};
    const std::pair<std::string_view, const std::vector<QueryWord>*> sides[] = {
        {from, &query.fromWords}, {to, &query.toWords}};
    const auto unitOf = [](int side, const ConversionMatch* match) {
        return side == 0 ? match->conversion->fromUnit() : match->conversion->toUnit();
    };
    // A side may be read in the other side's category by a name it is part of ("oz" of "fl oz"
    // beside "ml"), but not by a loose likeness (letters in order, a typo) where some unit
    // matches it better: "ft" beside "kg" is no Pound-force feet.
    std::vector<const ConversionMatch*> candidates;
    for (const ConversionMatch& match : result.matches)
        candidates.push_back(&match);
    for (int side = 0; side < 2; ++side) {
        const SearchResult alone =
            search().find(side == 0 ? unitPairQuery(from, {}) : unitPairQuery({}, to), 1);
        const MatchRank allowed =
            std::max(MatchRank::Prefix,
                     alone.matches.empty() ? MatchRank::None : alone.matches.front().rank);
        std::vector<std::string_view> labels;
        for (const ConversionMatch* match : candidates)
            labels.push_back(unitOf(side, match));
        const SideRanks sideMatch = sideRanks(labels, *sides[side].second, names_);
        std::vector<const ConversionMatch*> kept;
        for (std::size_t i = 0; i < candidates.size(); ++i)
            if (sideMatch.ranks[i] <= allowed) kept.push_back(candidates[i]);
        candidates = kept;
    }
    if (candidates.empty()) return FoundConversion{};
    MatchRank bestPair = MatchRank::None;
    for (const ConversionMatch* match : candidates)
        bestPair = std::min(bestPair, match->rank);
    std::erase_if(candidates,
                  [&](const ConversionMatch* match) { return match->rank != bestPair; });
    // Each side in turn keeps the candidates whose unit matches it best; then a side left with
    // several units is a tie.
    for (int side = 0; side < 2; ++side) {
        std::vector<std::string_view> labels;
        for (const ConversionMatch* match : candidates)
            labels.push_back(unitOf(side, match));
        const SideRanks ranks = sideRanks(labels, *sides[side].second, names_);
        std::pair<MatchRank, std::size_t> best{MatchRank::None, SIZE_MAX};
        for (std::size_t i = 0; i < labels.size(); ++i)
            best = std::min(best, std::pair{ranks.ranks[i], ranks.extraWords[i]});
        std::vector<const ConversionMatch*> kept;
        for (std::size_t i = 0; i < labels.size(); ++i)
            if (std::pair{ranks.ranks[i], ranks.extraWords[i]} == best)
                kept.push_back(candidates[i]);
        candidates = kept;
    }
    for (int side = 0; side < 2; ++side) {
        LabelList tied;
        for (const ConversionMatch* match : candidates)
            tied.add(display(unitOf(side, match)));
        if (tied.labels.size() < 2) continue;
        std::string why = "\"" + std::string(sides[side].first) + "\" could be: ";
        for (std::size_t i = 0; i < tied.labels.size(); ++i)
            why += (i ? ", " : "") + tied.labels[i];
        return Failure{why + "; write one of them."};
    }
    return FoundConversion{candidates.front()->category, candidates.front()->conversion};
}

// Whether a side typed as a whole label, ignoring letter case, was taken for another unit: a
// pair of labels the catalog lacks must not become a pair of look-alikes ("Meters Meters" is
// no Meters per second to Meters per minute).
bool PairFinder::missesATypedLabel(const Conversion& found) const {
    const TypedLabel typedFrom(request_.from);
    const TypedLabel typedTo(request_.to);
    bool fromIsALabel = false;
    bool toIsALabel = false;
    for (const Category* category : categoriesToSearch(catalog_, request_.only))
        for (const auto& conversion : category->conversions()) {
            fromIsALabel = fromIsALabel || typedFrom.matches(conversion.fromUnit(), true);
            toIsALabel = toIsALabel || typedTo.matches(conversion.toUnit(), true);
        }
    return (fromIsALabel && !typedFrom.matches(found.fromUnit(), true)) ||
           (toIsALabel && !typedTo.matches(found.toUnit(), true));
}

// The sizes, in unit, of the units named by words after the first ("ft in": inches in feet),
// when each word names exactly one unit of category that converts to unit; none otherwise.
std::vector<double> PairFinder::splitSizes(const std::vector<std::string>& words,
                                           const Category& category, std::string_view unit) const {
    std::vector<double> sizes{1.0};
    for (std::size_t i = 1; i < words.size(); ++i) {
        QuantityRead one;
        one.parts.push_back({1.0, "1", words[i]});
        const Result<QuantityValue> size = quantityValue(one, category, unit, names_);
        if (!size || !size->exact || !(size->value < sizes.back()) || !(size->value > 0)) return {};
        sizes.push_back(size->value);
    }
    return sizes;
}

// The first conversion from the unit the words of from name best; none when from has no word
// to look for (blanks, signs alone).
FoundConversion PairFinder::convertingFrom(std::string_view from) {
    const SearchQuery query = unitPairQuery(from, {});
    if (query.fromWords.empty()) return {};
    const SearchResult result = search().find(query, 1);
    if (result.matches.empty()) return {};
    return {result.matches.front().category, result.matches.front().conversion};
}

// Why there is no pair: the unit the catalog lacks, and the labels closest to it in the
// category concerned.
std::string PairFinder::notFound() {
    const std::vector<const Category*> categories = categoriesToSearch(catalog_, request_.only);
    // The first category that has the From unit, byte for byte, else ignoring case, else as the
    // search finds it; and that unit's label.
    const Category* withFrom = nullptr;
    std::string_view fromLabel;
    const TypedLabel from(request_.from);
    for (const bool ignoringCase : {false, true}) {
        for (const Category* category : categories) {
            for (const auto& conversion : category->conversions())
                if (from.matches(conversion.fromUnit(), ignoringCase)) {
                    withFrom = category;
                    fromLabel = conversion.fromUnit();
                    break;
                }
            if (withFrom) break;
        }
        if (withFrom) break;
    }
    if (!withFrom) {
        const FoundConversion found = convertingFrom(request_.from);
        withFrom = found.category;
        if (found.conversion) fromLabel = found.conversion->fromUnit();
    }
    const std::string catalogName(request_.catalogName);
    const std::string where = request_.only
                                  ? " in category \"" + display(request_.only->name()) + "\""
                                  : " in " + catalogName;
    if (!withFrom) {
        if (catalog_.categoryCount() == 0)
            return "The catalog " + catalogName + " holds no conversions.";
        // The From labels of every category searched; without a category each carries its
        // category's name, so the user sees where the closest ones are.
        LabelList labels;
        std::unordered_map<std::string, std::string> categoryOf;
        for (const Category* category : categories)
            for (const auto& conversion : category->conversions()) {
                const std::string label = display(conversion.fromUnit());
                labels.add(label);
                categoryOf.try_emplace(label, display(category->name()));
            }
        // Blanks or signs alone are close to nothing.
        std::vector<std::string> closest;
        if (!unitPairQuery(request_.from, {}).fromWords.empty())
            closest = closestLabels(request_.from, labels.labels, 3, names_);
        if (!request_.only)
            for (std::string& label : closest)
                label += " (" + categoryOf[label] + ")";
        return "No unit \"" + std::string(request_.from) + "\" to convert from" + where +
               closestClause(closest) + ".";
    }
    // The From unit is there, but not the pair: the To labels it converts to, in that category.
    LabelList labels;
    for (const auto& conversion : withFrom->conversions())
        if (conversion.fromUnit() == fromLabel) labels.add(display(conversion.toUnit()));
    return "No conversion from \"" + std::string(request_.from) + "\" to \"" +
           std::string(request_.to) + "\" in category \"" + display(withFrom->name()) + "\"" +
           closestClause(closestLabels(request_.to, labels.labels, 3, names_)) + ".";
}

} // namespace

FoundConversion findConversion(const ConversionCatalog& catalog, std::string_view from,
                               std::string_view to, const Category* category) {
    const std::vector<const Category*> categories = categoriesToSearch(catalog, category);
    const TypedLabel typedFrom(from);
    const TypedLabel typedTo(to);
    for (const bool ignoringCase : {false, true})
        for (const Category* candidate : categories)
            for (const auto& conversion : candidate->conversions())
                if (typedFrom.matches(conversion.fromUnit(), ignoringCase) &&
                    typedTo.matches(conversion.toUnit(), ignoringCase))
                    return {candidate, &conversion};
    return {};
}

const Category* findCategoryByName(const ConversionCatalog& catalog, std::string_view name) {
    if (const Category* category = catalog.findCategory(name)) return category;
    const TypedLabel typed(name);
    for (int id = 0; id < catalog.categoryCount(); ++id)
        if (const Category* category = catalog.categoryAt(id);
            typed.matches(category->name(), true))
            return category;
    return nullptr;
}

Result<const Category*> categoryNamed(const ConversionCatalog& catalog, std::string_view name,
                                      std::string_view catalogName) {
    if (const Category* category = findCategoryByName(catalog, name)) return category;
    std::vector<std::string> names;
    for (int id = 0; id < catalog.categoryCount(); ++id)
        names.push_back(display(catalog.categoryAt(id)->name()));
    return Failure{"No category \"" + std::string(name) + "\" in " + std::string(catalogName) +
                   closestClause(closestLabels(name, names)) + "."};
}

Result<UnitPair> resolveUnitPair(const ConversionCatalog& catalog, const UnitNames& names,
                                 const UnitPairRequest& request) {
    return PairFinder(catalog, names, request).resolve();
}
