#include "search/quantity_value.h"

#include "catalog/catalog.h"
#include "formula/number_text.h"
#include "search/label_ranks.h"
#include "search/search_query.h"
#include "search/search_text.h"
#include "search/unit_names.h"
#include "text/display_text.h"
#include "text/text_scan.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

// The units of category that a part may be written in: unitLabel itself and those with a
// conversion to it, each with that conversion (none for unitLabel).
struct Candidate {
    std::string_view label;
    const Conversion* toUnit;
};

std::vector<Candidate> candidates(const Category& category, std::string_view unitLabel) {
    std::vector<Candidate> units{{unitLabel, nullptr}};
    for (const auto& conversion : category.conversions())
        if (conversion.toUnit() == unitLabel && conversion.fromUnit() != unitLabel &&
            std::none_of(units.begin(), units.end(),
                         [&](const Candidate& c) { return c.label == conversion.fromUnit(); }))
            units.push_back({conversion.fromUnit(), &conversion});
    return units;
}

// The size of unit in the unit it converts to, when the conversion is a plain factor: none for
// a scale with a zero of its own (°C to °F) or a formula that is no factor (L/100 km to km/L).
std::optional<double> factorOf(const Candidate& unit) {
    if (!unit.toUnit) return 1.0;
    double zero = 1;
    double one = 0;
    double two = 0;
    if (unit.toUnit->compute(0.0, zero) != 0 || unit.toUnit->compute(1.0, one) != 0 ||
        unit.toUnit->compute(2.0, two) != 0 || zero != 0 || !(one > 0) || !std::isfinite(one) ||
        std::fabs(two - 2 * one) > 1e-12 * one)
        return std::nullopt;
    return one;
}

} // namespace

bool namesWholly(std::string_view typed, std::string_view unitLabel, const UnitNames& names) {
    const std::string label = toDisplayText(unitLabel);
    const std::string key = searchKey(typed);
    if (key.empty()) return false;
    if (key == searchKey(label)) return true;
    for (const std::string& name : names.of(label))
        if (searchKey(name) == key) return true;
    return false;
}

Result<QuantityValue> quantityValue(const QuantityRead& read, const Category& category,
                                    std::string_view unitLabel, const UnitNames& names) {
    QuantityValue result;
    const Failure tooLarge{"The value is too large: numbers go up to about 1.8e308."};
    const bool anyUnit = std::any_of(read.parts.begin(), read.parts.end(),
                                     [](const ValuePart& part) { return !part.unit.empty(); });
    if (!anyUnit) {
        for (const ValuePart& part : read.parts)
            result.value += part.value;
        if (!std::isfinite(result.value)) return tooLarge;
        return result;
    }
    const std::vector<Candidate> units = candidates(category, unitLabel);
    LabelVocabulary vocabulary;
    // Each unit's row among the ranks.
    std::vector<std::size_t> rows;
    for (const Candidate& unit : units)
        rows.push_back(static_cast<std::size_t>(vocabulary.add(unit.label, names)));
    std::vector<MatchRank> ranks;
    const bool several = read.parts.size() > 1;
    const Candidate* previous = nullptr;
    double previousSize = 0;
    std::string readAs;
    for (const ValuePart& part : read.parts) {
        const SearchQuery query = unitPairQuery(part.unit, {});
        if (part.unit.empty())
            return Failure{"Each number of \"" + read.text + "\" needs its unit."};
        if (query.fromWords.empty()) return Failure{"\"" + part.unit + "\" names no unit."};
        const std::size_t words = query.fromWords.size();
        vocabulary.rank(query.fromWords, ranks);
        MatchRank best = MatchRank::None;
        std::vector<std::size_t> bestUnits;
        for (std::size_t label = 0; label < units.size(); ++label) {
            MatchRank rank = MatchRank::Exact;
            for (std::size_t w = 0; w < words; ++w)
                rank = std::max(rank, ranks[rows[label] * words + w]);
            if (rank == MatchRank::None || rank > best) continue;
            if (rank < best) bestUnits.clear();
            best = rank;
            bestUnits.push_back(label);
        }
        const std::string unitName = toDisplayText(unitLabel);
        if (bestUnits.empty())
            return Failure{"No unit \"" + part.unit + "\" converts to " + unitName + " in " +
                           toDisplayText(category.name()) + "."};
        if (bestUnits.size() > 1) {
            std::string why = "\"" + part.unit + "\" could be: ";
            for (std::size_t i = 0; i < bestUnits.size(); ++i)
                why += (i ? ", " : "") + toDisplayText(units[bestUnits[i]].label);
            return Failure{why + "; write one of them."};
        }
        const Candidate& unit = units[bestUnits.front()];
        const std::string shown = toDisplayText(unit.label);
        result.exact =
            result.exact && best <= MatchRank::Word && namesWholly(part.unit, unit.label, names);
        if (several) {
            const std::optional<double> size = factorOf(unit);
            if (!size)
                return Failure{"In \"" + read.text + "\", " + shown +
                               " is a scale with a zero of its own, and values on such scales "
                               "do not add up: a value in several units takes none of them."};
            if (previous && previous->label == unit.label)
                return Failure{"In \"" + read.text + "\", " + shown + " comes twice."};
            if (previous && !(*size < previousSize))
                return Failure{"In \"" + read.text + "\", " + shown + " follows " +
                               toDisplayText(previous->label) +
                               ", which is not larger: a value in several units names them "
                               "from the largest down (\"5 ft 11 in\")."};
            previous = &unit;
            previousSize = *size;
        }
        double inUnit = part.value;
        if (unit.toUnit && unit.toUnit->compute(part.value, inUnit) != 0)
            return Failure{"The conversion from " + shown + " to " + unitName +
                           " cannot be computed."};
        result.value += inUnit;
        if (!readAs.empty()) readAs += " + ";
        readAs += formatExact(read.negative ? -part.value : part.value) + " " + shown;
    }
    if (!std::isfinite(result.value)) return tooLarge;
    // A minus before the first part is the whole quantity's.
    result.readAs = read.negative ? "-(" + readAs + ")" : readAs;
    return result;
}

Result<QuantityValue> readValueIn(std::string_view text, NumberFormat format,
                                  const Category& category, std::string_view unitLabel,
                                  const UnitNames& names) {
    const Result<QuantityRead> read = readWholeQuantity(text, format);
    if (!read) return Failure{read.why()};
    return quantityValue(*read, category, unitLabel, names);
}
