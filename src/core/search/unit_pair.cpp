#include "search/unit_pair.h"

#include "catalog/catalog.h"
#include "search/closest_labels.h"
#include "search/conversion_search.h"
#include "search/label_ranks.h"
#include "search/name_index.h"
#include "search/quantity_value.h"
#include "search/search_query.h"
#include "search/search_text.h"
#include "search/unit_names.h"
#include "search/unit_prefixes.h"
#include "text/case_fold.h"
#include "text/display_text.h"
#include "text/text_scan.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <unordered_map>
#include <unordered_set>

namespace {

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
        // An ASCII label is its own display text and folds letter by letter: most labels are
        // told apart by their length, without a copy.
        bool ascii = true;
        for (const char c : label)
            ascii = ascii && static_cast<unsigned char>(c) < 0x80;
        if (ascii) {
            if (label.size() != folded_.size()) return false;
            for (std::size_t i = 0; i < label.size(); ++i) {
                const char c = label[i];
                if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) != folded_[i])
                    return false;
            }
            return true;
        }
        const std::string shown = toDisplayText(label);
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

// The pair of a catalog line, with the units as their labels say.
UnitPair pairOf(const FoundConversion& found, bool byNames) {
    UnitPair pair;
    pair.category = found.category;
    pair.conversion = found.conversion;
    pair.fromUnit = found.conversion->fromUnit();
    pair.toUnit = found.conversion->toUnit();
    pair.fromShown = toDisplayText(pair.fromUnit);
    pair.toShown = toDisplayText(pair.toUnit);
    pair.byNames = byNames;
    return pair;
}

// A text whose letters are all small or all capitals.
bool ofOneCase(std::string_view text) {
    const bool lower =
        std::any_of(text.begin(), text.end(), [](char c) { return c >= 'a' && c <= 'z'; });
    const bool upper =
        std::any_of(text.begin(), text.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
    return !(lower && upper);
}

struct NamedUnit {
    const Category* category = nullptr;
    std::string_view label;
};

// For each of a few typed texts, the one unit it names most wholly, in the first of the
// categories searched that has it: by its label or a name as written, else letter case aside
// (search/search_text.h), but never by a word, a prefix or a near spelling. None for a text that
// names no unit wholly, or several equally ("mW" is the milliwatt, "MW" the megawatt). One pass
// over the labels serves all the texts.
std::vector<std::optional<NamedUnit>> unitsNamedWholly(const ConversionCatalog& catalog,
                                                       const Category* only, const UnitNames& names,
                                                       const std::vector<std::string_view>& typed) {
    struct Best {
        int level = 0;
        bool several = false;
        std::optional<NamedUnit> unit;
    };
    std::vector<Best> best(typed.size());
    // Letter case aside only where the text's own case says nothing: "MAh" is no "mAh".
    std::vector<std::string> keys;
    for (const std::string_view text : typed)
        keys.push_back(ofOneCase(trimmed(text)) ? searchKey(trimmed(text)) : std::string());
    std::unordered_set<std::string_view> seen;
    for (int id = 0; id < catalog.categoryCount(); ++id) {
        const Category* category = catalog.categoryAt(id);
        if (only && category != only) continue;
        for (const auto& conversion : category->conversions())
            for (const std::string_view label : {conversion.fromUnit(), conversion.toUnit()}) {
                if (!seen.insert(label).second) continue;
                std::vector<std::string> texts = names.of(toDisplayText(label));
                texts.push_back(toDisplayText(label));
                std::vector<std::string> textKeys;
                for (const std::string& text : texts)
                    textKeys.push_back(searchKey(text));
                for (std::size_t t = 0; t < typed.size(); ++t) {
                    int level = 0;
                    for (std::size_t n = 0; n < texts.size() && level < 2; ++n)
                        if (trimmed(typed[t]) == texts[n])
                            level = 2;
                        else if (!keys[t].empty() && keys[t] == textKeys[n])
                            level = 1;
                    Best& b = best[t];
                    if (level == 0 || level < b.level) continue;
                    b.several = level == b.level;
                    if (level > b.level) b.unit = NamedUnit{category, label};
                    b.level = level;
                }
            }
    }
    std::vector<std::optional<NamedUnit>> units;
    for (const Best& b : best)
        units.push_back(b.several ? std::nullopt : b.unit);
    return units;
}

// The To side names the From unit itself ("3° 30′ 15″" to Degrees), or splits into units whose
// first is it ("2.5 lb" to "lb oz"): the value stays as it is. The catalog has no conversion of a
// unit to itself, and another unit that looks like it (troy pounds, survey feet) is no answer.
std::optional<UnitPair> sameUnitPair(const ConversionCatalog& catalog, const UnitNames& names,
                                     const Category* only, std::string_view from,
                                     std::string_view to) {
    if (findConversion(catalog, from, to, only).conversion) return std::nullopt;
    std::vector<std::string> words;
    for (const QueryWord& word : unitPairQuery({}, to).toWords)
        words.push_back(word.typed);
    const std::vector<std::optional<NamedUnit>> named = unitsNamedWholly(
        catalog, only, names, {from, to, words.empty() ? std::string_view() : words.front()});
    const std::optional<NamedUnit>& unit = named[0];
    if (!unit) return std::nullopt;
    const auto isTheUnit = [&](const std::optional<NamedUnit>& other) {
        return other && other->label == unit->label;
    };
    const std::string shown = toDisplayText(unit->label);
    UnitPair plan;
    plan.category = unit->category;
    plan.fromUnit = plan.toUnit = unit->label;
    plan.fromShown = plan.toShown = shown;
    plan.byNames = trimmed(from) != shown || trimmed(to) != shown;
    if (isTheUnit(named[1])) return plan;
    // A To side that is one unit as a whole ("kcal IT") is no split.
    if (named[1] || words.size() < 2 || !isTheUnit(named[2])) return std::nullopt;
    std::vector<double> sizes{1.0};
    for (std::size_t i = 1; i < words.size(); ++i) {
        QuantityRead one;
        one.parts.push_back({1.0, "1", words[i]});
        const Result<QuantityValue> size = quantityValue(one, *unit->category, unit->label, names);
        if (!size || !size->exact || !(size->value < sizes.back()) || !(size->value > 0))
            return std::nullopt;
        sizes.push_back(size->value);
    }
    plan.byNames = true;
    plan.splitWords = std::move(words);
    plan.splitSizes = std::move(sizes);
    return plan;
}

// The distinct units of the categories, From and To, in file order.
std::vector<std::string_view> unitsOf(const std::vector<const Category*>& categories) {
    std::vector<std::string_view> units;
    std::unordered_set<std::string_view> seen;
    for (const Category* category : categories)
        for (const auto& conversion : category->conversions())
            for (const std::string_view unit : {conversion.fromUnit(), conversion.toUnit()})
                if (seen.insert(unit).second) units.push_back(unit);
    return units;
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
    std::vector<int> ids;
    for (std::size_t label = 0; label < labels.size(); ++label) {
        const int id = vocabulary.add(labels[label], names);
        MatchRank rank = MatchRank::Exact;
        for (std::size_t w = 0; w < words.size(); ++w)
            rank = std::max(rank, ranks[static_cast<std::size_t>(id) * words.size() + w]);
        side.ranks.push_back(rank);
        ids.push_back(id);
    }
    // The words beyond those typed decide only among the best, and are counted for them alone.
    const MatchRank best = side.ranks.empty()
                               ? MatchRank::None
                               : *std::min_element(side.ranks.begin(), side.ranks.end());
    for (std::size_t label = 0; label < labels.size(); ++label) {
        const int id = ids[label];
        std::size_t fewest = SIZE_MAX;
        if (side.ranks[label] != best) {
            side.extraWords.push_back(fewest);
            continue;
        }
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
    Result<std::optional<PrefixedUnit>> prefixedSide(std::string_view text);
    Result<UnitPair> prefixedPair(const std::optional<PrefixedUnit>& from,
                                  const std::optional<PrefixedUnit>& to);
    std::optional<UnitPair> throughThird(std::string_view from, std::string_view to, bool sameUnit,
                                         bool fromLabel = false, bool toLabel = false);
    std::optional<std::string_view> unitNamed(const Category& category, std::string_view text,
                                              bool label);
    bool agrees(std::string_view label, const PrefixedUnit& reading) const;
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
    if (std::optional<UnitPair> same =
            sameUnitPair(catalog_, names_, request_.only, request_.from, request_.to))
        return *same;
    if (std::optional<UnitPair> split = splitPair()) return *split;
    if (const FoundConversion found = byLabels(request_.from, request_.to); found.conversion)
        return pairOf(found, false);
    const Result<std::optional<PrefixedUnit>> from = prefixedSide(request_.from);
    if (!from) return Failure{from.why()};
    const Result<std::optional<PrefixedUnit>> to = prefixedSide(request_.to);
    if (!to) return Failure{to.why()};
    if (*from || *to) return prefixedPair(*from, *to);
    const Result<FoundConversion> picked = pickConversion(request_.from, request_.to);
    if (!picked) return Failure{picked.why()};
    if (picked->conversion && !missesATypedLabel(*picked->conversion)) return pairOf(*picked, true);
    if (!picked->conversion)
        if (std::optional<UnitPair> through = throughThird(request_.from, request_.to, false))
            return *through;
    return Failure{notFound()};
}

// The prefixed unit a side names, none where it names a unit of the catalog as it stands, or
// why it is neither.
Result<std::optional<PrefixedUnit>> PairFinder::prefixedSide(std::string_view text) {
    std::vector<PrefixedUnit> readings = prefixReadings(text, names_.prefixBases());
    // A name or a label as written always wins.
    const auto index = names_.index();
    if (readings.empty() || (index && index->hasName(text))) return std::optional<PrefixedUnit>();
    const std::vector<std::string_view> units =
        unitsOf(categoriesToSearch(catalog_, request_.only));
    const TypedLabel typed(text);
    if (std::any_of(units.begin(), units.end(),
                    [&](std::string_view unit) { return typed.matches(unit, true); }))
        return std::optional<PrefixedUnit>();
    // Only units of the catalog.
    std::erase_if(readings, [&](const PrefixedUnit& reading) {
        return std::none_of(units.begin(), units.end(), [&](std::string_view unit) {
            return equalIgnoringCase(toDisplayText(unit), reading.label);
        });
    });
    if (readings.empty()) return std::optional<PrefixedUnit>();
    // The units the names read it as, as Find ranks them: those it lists first, and of them
    // the ones whose name has the fewest words beyond it.
    const SearchQuery query = unitPairQuery(text, {});
    const SearchResult found = search().find(query);
    std::vector<std::string_view> first;
    for (const ConversionMatch& match : found.matches)
        if (match.rank == found.matches.front().rank &&
            std::find(first.begin(), first.end(), match.conversion->fromUnit()) == first.end())
            first.push_back(match.conversion->fromUnit());
    const SideRanks ranks = sideRanks(first, query.fromWords, names_);
    std::pair<MatchRank, std::size_t> best{MatchRank::None, SIZE_MAX};
    for (std::size_t i = 0; i < first.size(); ++i)
        best = std::min(best, std::pair{ranks.ranks[i], ranks.extraWords[i]});
    LabelList named;
    for (std::size_t i = 0; i < first.size(); ++i)
        if (std::pair{ranks.ranks[i], ranks.extraWords[i]} == best)
            named.add(toDisplayText(first[i]));
    // A name ignoring letter case, or a word of a name ("fl" of "fl oz"), that means another
    // unit than the prefix: the user is to say which.
    const bool nameSaysOtherwise =
        best.first <= MatchRank::Word ||
        (best.first == MatchRank::Prefix && index && index->isPartOfName(searchKey(text)));
    if (readings.size() == 1 && nameSaysOtherwise && named.labels.size() == 1 &&
        agrees(named.labels.front(), readings.front()))
        return std::optional<PrefixedUnit>();
    if (readings.size() == 1 && !nameSaysOtherwise) return std::optional(readings.front());
    LabelList could;
    if (nameSaysOtherwise)
        for (const std::string& label : named.labels)
            could.add(label);
    for (const PrefixedUnit& reading : readings)
        if (!nameSaysOtherwise ||
            std::none_of(named.labels.begin(), named.labels.end(),
                         [&](const std::string& label) { return agrees(label, reading); }))
            could.add(reading.shown);
    std::string why = "\"" + std::string(text) + "\" could be: ";
    for (std::size_t i = 0; i < could.labels.size(); ++i)
        why += (i ? ", " : "") + could.labels[i];
    return Failure{why + "; write one of them."};
}

// Whether the unit label is the prefixed unit: a line from it to the unprefixed one gives the
// prefix's factor ("Kg" is the Kilograms of its name and k times g).
bool PairFinder::agrees(std::string_view label, const PrefixedUnit& reading) const {
    for (const Category* category : categoriesToSearch(catalog_, request_.only))
        for (const auto& conversion : category->conversions()) {
            double value = 0.0;
            if (equalIgnoringCase(toDisplayText(conversion.fromUnit()), label) &&
                equalIgnoringCase(toDisplayText(conversion.toUnit()), reading.label) &&
                conversion.compute(1.0, value) == 0)
                return std::abs(value - reading.factor) <= 1e-12 * reading.factor;
        }
    return false;
}

// The pair of sides of which one or both are prefixed units, read in their unprefixed units.
Result<UnitPair> PairFinder::prefixedPair(const std::optional<PrefixedUnit>& from,
                                          const std::optional<PrefixedUnit>& to) {
    const std::string_view fromText = from ? std::string_view(from->label) : request_.from;
    const std::string_view toText = to ? std::string_view(to->label) : request_.to;
    // The unprefixed units by their labels, or a side named exactly in their category (also
    // one unit on both sides, "dam" to "m"), else as Find reads them.
    std::optional<UnitPair> pair;
    if (const FoundConversion found = byLabels(fromText, toText); found.conversion)
        pair = pairOf(found, true);
    if (!pair) pair = throughThird(fromText, toText, true, from.has_value(), to.has_value());
    if (!pair) {
        const Result<FoundConversion> picked = pickConversion(fromText, toText);
        if (!picked) return Failure{picked.why()};
        if (!picked->conversion) {
            const auto side = [](const std::optional<PrefixedUnit>& unit, std::string_view text) {
                return unit ? unit->shown : "\"" + std::string(text) + "\"";
            };
            return Failure{"No conversion from " + side(from, request_.from) + " to " +
                           side(to, request_.to) + " in " + std::string(request_.catalogName) +
                           "."};
        }
        pair = pairOf(*picked, true);
    }
    if (from) {
        pair->fromFactor = from->factor;
        pair->fromShown = from->shown;
    }
    if (to) {
        pair->toFactor = to->factor;
        pair->toShown = to->shown;
    }
    return *pair;
}

// The unit of category that text names: a label as written or ignoring letter case, else, unless
// text is to be a label, the one unit that a name or a label word equals; none otherwise.
std::optional<std::string_view> PairFinder::unitNamed(const Category& category,
                                                      std::string_view text, bool label) {
    const std::vector<std::string_view> units = unitsOf({&category});
    const TypedLabel typed(text);
    for (const bool ignoringCase : {false, true})
        for (const std::string_view unit : units)
            if (typed.matches(unit, ignoringCase)) return unit;
    if (label) return std::nullopt;
    const SearchQuery query = unitPairQuery(text, {});
    if (query.fromWords.empty()) return std::nullopt;
    const SideRanks ranks = sideRanks(units, query.fromWords, names_);
    std::pair<MatchRank, std::size_t> best{MatchRank::None, SIZE_MAX};
    for (std::size_t i = 0; i < units.size(); ++i)
        best = std::min(best, std::pair{ranks.ranks[i], ranks.extraWords[i]});
    if (best.first > MatchRank::Word) return std::nullopt;
    std::optional<std::string_view> named;
    for (std::size_t i = 0; i < units.size(); ++i)
        if (std::pair{ranks.ranks[i], ranks.extraWords[i]} == best) {
            if (named) return std::nullopt;
            named = units[i];
        }
    return named;
}

// The lines from the unit from names to the one to names, in the first category that has both:
// the line between them, or where there is none, a line to a third unit and one on from there.
// sameUnit allows a pair of one unit (a prefix on either side), with no line at all; a side that
// is a label (of a prefixed unit) is only compared with the labels.
std::optional<UnitPair> PairFinder::throughThird(std::string_view from, std::string_view to,
                                                 bool sameUnit, bool fromLabel, bool toLabel) {
    for (const Category* category : categoriesToSearch(catalog_, request_.only)) {
        const std::optional<std::string_view> source = unitNamed(*category, from, fromLabel);
        if (!source) continue;
        const std::optional<std::string_view> target = unitNamed(*category, to, toLabel);
        if (!target) continue;
        UnitPair pair;
        pair.category = category;
        pair.fromUnit = *source;
        pair.toUnit = *target;
        pair.fromShown = toDisplayText(*source);
        pair.toShown = toDisplayText(*target);
        pair.byNames = true;
        if (*source == *target) {
            if (sameUnit) return pair;
            continue;
        }
        for (const auto& line : category->conversions())
            if (line.fromUnit() == *source && line.toUnit() == *target) {
                pair.conversion = &line;
                return pair;
            }
        for (const auto& first : category->conversions()) {
            if (first.fromUnit() != *source || first.toUnit() == *target) continue;
            for (const auto& second : category->conversions())
                if (second.fromUnit() == first.toUnit() && second.toUnit() == *target) {
                    pair.conversion = &first;
                    pair.then = &second;
                    return pair;
                }
        }
    }
    return std::nullopt;
}

// A To side of several words may name units to split the result into ("ft in"): its first word
// the unit converted to, each further word exactly one smaller unit of that category. None when
// the To side is one unit, a label as a whole, or names no such units.
std::optional<UnitPair> PairFinder::splitPair() {
    std::vector<std::string> words;
    for (const QueryWord& word : unitPairQuery({}, request_.to).toWords)
        words.push_back(word.typed);
    if (words.size() < 2 || byLabels(request_.from, request_.to).conversion) return std::nullopt;
    FoundConversion found = byLabels(request_.from, words.front());
    bool byNames = false;
    if (!found.conversion) {
        // A tie here only means that the words are not a split.
        const Result<FoundConversion> picked = pickConversion(request_.from, words.front());
        if (picked) found = *picked;
        byNames = true;
    }
    if (!found.conversion) return std::nullopt;
    UnitPair pair = pairOf(found, byNames);
    pair.splitSizes = splitSizes(words, *found.category, found.conversion->toUnit());
    if (pair.splitSizes.empty()) return std::nullopt;
    pair.splitWords = std::move(words);
    return pair;
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
            tied.add(toDisplayText(unitOf(side, match)));
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
                                  ? " in category \"" + toDisplayText(request_.only->name()) + "\""
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
                const std::string label = toDisplayText(conversion.fromUnit());
                labels.add(label);
                categoryOf.try_emplace(label, toDisplayText(category->name()));
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
        if (conversion.fromUnit() == fromLabel) labels.add(toDisplayText(conversion.toUnit()));
    return "No conversion from \"" + std::string(request_.from) + "\" to \"" +
           std::string(request_.to) + "\" in category \"" + toDisplayText(withFrom->name()) + "\"" +
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
        names.push_back(toDisplayText(catalog.categoryAt(id)->name()));
    return Failure{"No category \"" + std::string(name) + "\" in " + std::string(catalogName) +
                   closestClause(closestLabels(name, names)) + "."};
}

Result<UnitPair> resolveUnitPair(const ConversionCatalog& catalog, const UnitNames& names,
                                 const UnitPairRequest& request) {
    return PairFinder(catalog, names, request).resolve();
}
