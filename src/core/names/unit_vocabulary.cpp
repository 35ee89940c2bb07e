#include "names/unit_vocabulary.h"

#include "catalog/catalog.h"
#include "names/name_index.h"
#include "names/unit_names.h"
#include "names/unit_prefixes.h"
#include "text/case_fold.h"
#include "text/display_text.h"
#include "text/search_text.h"
#include "text/text_scan.h"

#include <algorithm>
#include <cmath>
#include <unordered_set>

namespace {

// How typed fits name, two texts of one key (searchKeyKeepingCase of each).
CaseFit caseFit(std::string_view typed, std::string_view name) {
    return typed == name ? CaseFit::AsWritten : CaseFit::CaseAside;
}

// A word's ending period is an abbreviation's ("in.", "fl. oz."), no part of a name.
std::string withoutAbbreviationPeriods(std::string_view phrase) {
    std::string text;
    for (std::size_t at = 0; at < phrase.size();) {
        std::size_t end = at;
        while (end < phrase.size() && !isWhiteSpace(phrase[end]))
            ++end;
        std::string_view word = phrase.substr(at, end - at);
        if (word.size() > 1 && word.back() == '.' && word[word.size() - 2] != '.')
            word.remove_suffix(1);
        text += word;
        for (at = end; at < phrase.size() && isWhiteSpace(phrase[at]); ++at)
            text += phrase[at];
    }
    return std::string(trimmed(text));
}

// The part of a key in the singular with the letter case typed ("Cups" gives Cup, "Inches"
// Inch, "Feet" Foot); empty for a part that is no plural or has a capital after its first letter
// ("MWhs" is no plural of MWh).
std::string singularPart(std::string_view part) {
    if (part.empty() ||
        std::any_of(part.begin() + 1, part.end(), [](char c) { return c >= 'A' && c <= 'Z'; }))
        return {};
    const std::string folded = foldCase(part);
    const std::string singular = singularOf(folded);
    if (singular.empty()) return {};
    if (folded.starts_with(singular)) return std::string(part.substr(0, singular.size()));
    std::string made = singular;
    // "y" for "ies", "foot" for "feet": the first letter keeps its case.
    if (folded.ends_with("ies"))
        made = std::string(part.substr(0, part.size() - 3)) + "y";
    else if (part.front() >= 'A' && part.front() <= 'Z')
        made.front() = static_cast<char>(made.front() - 'a' + 'A');
    return made;
}

// The keys (letter case kept) of a phrase with some of its plural parts in the singular: each
// alone, then all of them; none when no part is a plural.
std::vector<std::string> singularVariants(std::string_view caseKey) {
    std::vector<std::string_view> parts;
    for (std::size_t at = 0; at <= caseKey.size();) {
        std::size_t end = caseKey.find('-', at);
        if (end == std::string_view::npos) end = caseKey.size();
        parts.push_back(caseKey.substr(at, end - at));
        at = end + 1;
    }
    std::vector<std::string> singulars;
    for (const std::string_view part : parts)
        singulars.push_back(singularPart(part));
    const auto joined = [&](auto choose) {
        std::string key;
        for (std::size_t i = 0; i < parts.size(); ++i) {
            if (i) key += '-';
            key += choose(i) ? singulars[i] : std::string(parts[i]);
        }
        return key;
    };
    std::vector<std::string> variants;
    const auto add = [&](std::string key) {
        if (std::find(variants.begin(), variants.end(), key) == variants.end())
            variants.push_back(std::move(key));
    };
    std::size_t plurals = 0;
    for (std::size_t p = 0; p < parts.size(); ++p)
        if (!singulars[p].empty()) {
            ++plurals;
            add(joined([&](std::size_t i) { return i == p; }));
        }
    if (plurals > 1) add(joined([&](std::size_t i) { return !singulars[i].empty(); }));
    return variants;
}

// The factor of a line that converts by a plain one: no zero of its own (°C to °F) and no
// reciprocal (L/100 km to km/L); 0 for another line.
double lineSize(const Conversion& line) {
    double zero = 1;
    double one = 0;
    double two = 0;
    if (line.compute(0.0, zero) != 0 || line.compute(1.0, one) != 0 ||
        line.compute(2.0, two) != 0 || zero != 0 || !(one > 0) || !std::isfinite(one) ||
        std::fabs(two - 2 * one) > 1e-12 * one)
        return 0;
    return one;
}

bool sameUnit(const UnitReading& a, const UnitReading& b) {
    return a.category == b.category && a.unit == b.unit && a.factor == b.factor;
}

} // namespace

UnitVocabulary::UnitVocabulary(const ConversionCatalog& catalog, const UnitNames& names,
                               VocabularyScope scope)
    : names_(names.index()), bases_(names.prefixBases()) {
    for (int id = 0; id < catalog.categoryCount(); ++id) {
        const Category* category = catalog.categoryAt(id);
        if ((scope.only && category != scope.only) ||
            (!scope.hiddenToo && category->visible() == 0))
            continue;
        std::unordered_set<std::string_view> seen;
        for (const auto& conversion : category->conversions())
            for (const std::string_view label : {conversion.fromUnit(), conversion.toUnit()}) {
                if (!seen.insert(label).second) continue;
                const auto start = static_cast<std::uint32_t>(keyTexts_.size());
                keyTexts_ +=
                    isValidUtf8(label) ? searchKey(label) : searchKey(toDisplayText(label));
                keyed_.push_back({start, static_cast<std::uint32_t>(keyTexts_.size()) - start,
                                  static_cast<std::uint32_t>(units_.size())});
                units_.push_back({category, label});
            }
    }
    const auto keyOf = [&](const Keyed& k) {
        return std::string_view(keyTexts_).substr(k.start, k.size);
    };
    std::sort(keyed_.begin(), keyed_.end(), [&](const Keyed& a, const Keyed& b) {
        const int order = keyOf(a).compare(keyOf(b));
        return order != 0 ? order < 0 : a.unit < b.unit;
    });
    // The units of each label of names.txt, found letter case aside; where that finds several,
    // the one it is as written.
    for (int label = 0; names_ && label < names_->labelCount(); ++label) {
        const std::string_view text = names_->labelText(label);
        std::vector<std::uint32_t> units;
        const auto [first, last] = unitsOfKey(searchKey(text));
        for (std::size_t k = first; k < last; ++k)
            if (equalIgnoringCase(toDisplayText(units_[keyed_[k].unit].label), text))
                units.push_back(keyed_[k].unit);
        if (units.size() > 1 && std::any_of(units.begin(), units.end(), [&](std::uint32_t u) {
                return toDisplayText(units_[u].label) == text;
            }))
            std::erase_if(units,
                          [&](std::uint32_t u) { return toDisplayText(units_[u].label) != text; });
        if (!units.empty()) byNamesLabel_[label] = std::move(units);
    }
    // The prefixes' bases that are units here, by the key of the name.
    for (const PrefixBase& base : bases_) {
        const auto [first, last] = unitsOfKey(searchKey(base.label));
        for (std::size_t k = first; k < last; ++k)
            if (equalIgnoringCase(toDisplayText(units_[keyed_[k].unit].label), base.label))
                basesByKey_[searchKey(base.name)].push_back({&base, keyed_[k].unit});
    }
}

UnitVocabulary::~UnitVocabulary() = default;
UnitVocabulary::UnitVocabulary(UnitVocabulary&&) noexcept = default;
UnitVocabulary& UnitVocabulary::operator=(UnitVocabulary&&) noexcept = default;

std::pair<std::size_t, std::size_t> UnitVocabulary::unitsOfKey(std::string_view key) const {
    const auto keyOf = [&](const Keyed& k) {
        return std::string_view(keyTexts_).substr(k.start, k.size);
    };
    const auto first =
        std::lower_bound(keyed_.begin(), keyed_.end(), key,
                         [&](const Keyed& k, std::string_view v) { return keyOf(k) < v; });
    auto last = first;
    while (last != keyed_.end() && keyOf(*last) == key)
        ++last;
    return {static_cast<std::size_t>(first - keyed_.begin()),
            static_cast<std::size_t>(last - keyed_.begin())};
}

UnitReading UnitVocabulary::readingOf(const Unit& unit, std::string_view name,
                                      std::string_view caseKey, NameSource source) const {
    std::string shown = toDisplayText(unit.label);
    const CaseFit fit = caseFit(caseKey, searchKeyKeepingCase(name.empty() ? shown : name));
    std::string matched = name.empty() ? shown : std::string(name);
    return {unit.category, unit.label, 1.0, std::move(shown), std::move(matched), fit, source};
}

void UnitVocabulary::addReadings(std::string_view caseKey, NameSource source,
                                 std::vector<UnitReading>& readings) const {
    const std::string key = foldCase(caseKey);
    const auto [first, last] = unitsOfKey(key);
    for (std::size_t k = first; k < last; ++k)
        readings.push_back(readingOf(units_[keyed_[k].unit], {}, caseKey, source));
    if (!names_) return;
    for (const NameIndex::Named& named : names_->named(key)) {
        const auto units = byNamesLabel_.find(named.label);
        if (units == byNamesLabel_.end()) continue;
        for (const std::uint32_t number : units->second)
            readings.push_back(readingOf(units_[number], named.typed, caseKey, source));
    }
}

void UnitVocabulary::addPrefixed(std::string_view caseKey,
                                 std::vector<UnitReading>& readings) const {
    if (basesByKey_.empty()) return;
    for (const LeadingPrefix& prefix : leadingPrefixes(caseKey)) {
        const std::string_view rest = caseKey.substr(prefix.length);
        const auto found = basesByKey_.find(foldCase(rest));
        if (found == basesByKey_.end()) continue;
        // A prefix word is read ignoring letter case; a symbol is as written, or no prefix.
        const std::string_view word = caseKey.substr(0, prefix.length);
        const CaseFit wordFit = caseFit(word, prefix.byWord ? prefix.word : word);
        for (const Base& base : found->second) {
            if ((base.base->kinds & prefix.kind) == 0 ||
                (prefix.byWord && !takesPrefixWord(base.base->name)))
                continue;
            const Unit& unit = units_[base.unit];
            const PrefixedUnit made = prefixedUnit(prefix, *base.base);
            const CaseFit fit =
                std::max(wordFit, caseFit(rest, searchKeyKeepingCase(base.base->name)));
            // The name as it is written right: the prefix's symbol or word and the base's name.
            std::string name = prefix.byWord ? std::string(prefix.word) : std::string(word);
            name += base.base->name;
            readings.push_back({unit.category, unit.label, made.factor, made.shown, std::move(name),
                                fit, NameSource::Prefixed});
        }
    }
}

std::vector<UnitReading> UnitVocabulary::everyReading(std::string_view phrase) const {
    std::vector<UnitReading> readings;
    const std::string caseKey = searchKeyKeepingCase(withoutAbbreviationPeriods(phrase));
    if (caseKey.empty()) return readings;
    addReadings(caseKey, NameSource::Whole, readings);
    for (const std::string& singular : singularVariants(caseKey))
        addReadings(singular, NameSource::Singular, readings);
    addPrefixed(caseKey, readings);
    return readings;
}

PhraseReading UnitVocabulary::read(std::string_view phrase) const {
    std::vector<UnitReading> every = everyReading(phrase);
    PhraseReading read;
    if (every.empty()) return read;
    // A name made by a prefix that is a unit the phrase names whole ("µl" is µ and l, and the
    // name "µL" of Microliters) is that unit, however each fits the letters.
    for (UnitReading& made : every) {
        if (made.source != NameSource::Prefixed) continue;
        for (UnitReading& whole : every)
            if (whole.source == NameSource::Whole && whole.category == made.category &&
                whole.factor == 1.0 &&
                std::fabs(sizeIn(*whole.category, whole.unit, made.unit) - made.factor) <=
                    1e-12 * made.factor) {
                whole.fit = std::min(whole.fit, made.fit);
                made.category = nullptr;
                break;
            }
    }
    std::erase_if(every, [](const UnitReading& r) { return r.category == nullptr; });
    CaseFit best = CaseFit::CaseAside;
    for (const UnitReading& reading : every)
        best = std::min(best, reading.fit);
    // Only as written does a whole name stand before one made of it: set aside, letter case says
    // nothing, and "mpa" is "MPa" no more than "m" and "Pa".
    const bool whole = best == CaseFit::AsWritten &&
                       std::any_of(every.begin(), every.end(), [&](const UnitReading& r) {
                           return r.fit == best && r.source == NameSource::Whole;
                       });
    for (const UnitReading& reading : every) {
        const bool kept = reading.fit == best && (!whole || reading.source == NameSource::Whole);
        std::vector<UnitReading>& list = kept ? read.units : read.otherCase;
        if (!kept && reading.fit == best) continue;
        if (std::none_of(list.begin(), list.end(),
                         [&](const UnitReading& r) { return sameUnit(r, reading); }))
            list.push_back(reading);
    }
    std::erase_if(read.otherCase, [&](const UnitReading& other) {
        return std::any_of(read.units.begin(), read.units.end(),
                           [&](const UnitReading& r) { return sameUnit(r, other); });
    });
    // In the categories' order, as the catalog has them.
    std::stable_sort(read.units.begin(), read.units.end(),
                     [](const UnitReading& a, const UnitReading& b) {
                         return a.category->id() < b.category->id();
                     });
    return read;
}

std::vector<std::string_view> UnitVocabulary::unitsWithWord(std::string_view key,
                                                            const Category& category) const {
    auto [words, added] = wordsByCategory_.try_emplace(&category);
    if (added)
        for (const Unit& unit : units_) {
            if (unit.category != &category) continue;
            const std::string shown = toDisplayText(unit.label);
            std::vector<std::string> keys{searchKey(shown)};
            if (names_)
                for (const std::string_view name : names_->namesOf(names_->labelId(shown)))
                    keys.push_back(searchKey(name));
            for (const std::string& nameKey : keys) {
                const std::vector<std::string_view> parts = keyParts(nameKey);
                if (parts.size() > 1)
                    for (const std::string_view part : parts)
                        words->second.emplace_back(part, unit.label);
            }
        }
    std::vector<std::string_view> found;
    for (const auto& [word, unit] : words->second)
        if (word == key && std::find(found.begin(), found.end(), unit) == found.end())
            found.push_back(unit);
    return found;
}

double UnitVocabulary::sizeIn(const Category& category, std::string_view unit,
                              std::string_view toUnit) const {
    if (unit == toUnit) return 1.0;
    for (const auto& conversion : category.conversions())
        if (conversion.fromUnit() == unit && conversion.toUnit() == toUnit)
            return lineSize(conversion);
    return 0;
}
