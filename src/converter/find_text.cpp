#include "converter/find_text.h"

#include "catalog/catalog.h"
#include "query/suggestion_query.h"
#include "text/display_text.h"
#include "text/text_scan.h"

#include <algorithm>
#include <unordered_set>

namespace {

// Why an exact reading has no row of its own: a unit with a prefix, which the list lacks.
std::string prefixNote(const QueryReading& reading) {
    const UnitPair& pair = reading.pair;
    for (const bool from : {true, false}) {
        const double factor = from ? pair.fromFactor : pair.toFactor;
        if (factor == 1.0) continue;
        return (from ? pair.fromShown : pair.toShown) + " has no entry in the list: choose " +
               toDisplayText(from ? pair.fromUnit : pair.toUnit) + ".";
    }
    return {};
}

std::string countOf(int count, std::string_view one, std::string_view many) {
    return count == 1 ? "1 " + std::string(one) : std::to_string(count) + " " + std::string(many);
}

} // namespace

ConversionFinder::ConversionFinder(const ConversionCatalog& catalog, const UnitNames& names,
                                   NumberFormat format)
    : catalog_(catalog), search_(catalog, names),
      reader_(catalog, names, VocabularyScope{false, nullptr}, format), format_(format) {}

FindResults ConversionFinder::find(std::string_view typed, bool queryCut) const {
    FindResults found;
    const QueryReader::Readings exact = reader_.everyReading(typed);
    std::unordered_set<const Conversion*> listed;
    std::string note;
    const auto add = [&](const Category* category, const Conversion& line,
                         const QueryReading& reading) {
        if (!listed.insert(&line).second ||
            found.rows.size() >= static_cast<std::size_t>(ConversionSearch::defaultLimit))
            return;
        found.rows.push_back({{tabOf(catalog_, category), category, &line, MatchRank::Exact},
                              reading.valueText,
                              false});
    };
    for (const QueryReading& reading : exact.readings) {
        const UnitPair& pair = reading.pair;
        if (pair.fromFactor != 1.0 || pair.toFactor != 1.0) {
            if (note.empty()) note = prefixNote(reading);
            continue;
        }
        if (!pair.fromUnit.empty() && !pair.toUnit.empty()) {
            if (pair.conversion && !pair.then && pair.splitWords.empty())
                add(pair.category, *pair.conversion, reading);
            continue;
        }
        // One side alone: every line from it, or to it.
        for (const auto& line : pair.category->conversions())
            if (pair.fromUnit.empty() ? line.toUnit() == pair.toUnit
                                      : line.fromUnit() == pair.fromUnit)
                add(pair.category, line, reading);
    }
    found.exactCount = static_cast<int>(found.rows.size());
    const SearchResult loose = search_.find(parseSearchQuery(typed, format_));
    const bool typedAnything = !trimmed(typed).empty();
    if (!typedAnything) {
        for (const FindRow& row : kept_)
            if (row.match.conversion &&
                found.rows.size() < std::size_t{ConversionSearch::defaultLimit})
                found.rows.push_back(row);
        found.exactCount = static_cast<int>(found.rows.size());
        // Listed once: the kept ones are not offered again among all the others.
        for (const FindRow& row : kept_)
            listed.insert(row.match.conversion);
    }
    for (const ConversionMatch& match : loose.matches) {
        if (found.rows.size() >= static_cast<std::size_t>(ConversionSearch::defaultLimit)) break;
        if (listed.insert(match.conversion).second)
            found.rows.push_back({match, loose.value, typedAnything});
    }
    const int looseCount = static_cast<int>(found.rows.size()) - found.exactCount;
    std::string text;
    if (!typedAnything)
        text = std::string(found.exactCount > 0 ? "Your favourite and recent conversions first. "
                                                : "") +
               (looseCount < loose.total ? "The first " + std::to_string(looseCount) + " of " +
                                               std::to_string(loose.total) + " conversions"
                                         : countOf(looseCount, "conversion", "conversions")) +
               "; type the units to find yours.";
    else if (found.exactCount > 0)
        text = countOf(found.exactCount, "conversion matches", "conversions match") +
               (looseCount > 0 ? "; " + countOf(looseCount, "more looks", "more look") + " alike."
                               : ".");
    else if (looseCount > 0)
        text = (exact.whyNone.empty() ? note : exact.whyNone) + " " +
               countOf(looseCount, "conversion looks", "conversions look") +
               " alike: move to one to choose it.";
    else
        // Nothing alike either: the search says what no unit is called, and the closest names.
        text = !note.empty() ? note : !loose.whyNone.empty() ? loose.whyNone : exact.whyNone;
    if (found.exactCount > 0 && !note.empty()) text += " " + note;
    // Only the start of a long query counts, and the user is told.
    if (queryCut)
        text += " The field takes " + std::to_string(maxFindLength) +
                " characters, and only the first " + std::to_string(SearchQuery::maxWords) +
                " words are used.";
    else if (loose.truncated)
        text += " Only the first " + std::to_string(SearchQuery::maxWords) + " words are used.";
    found.countText = trimmed(text);
    return found;
}

std::string keptConversionText(const Category& category, const Conversion& conversion,
                               std::string_view value) {
    return toDisplayText(category.name()) + ": " +
           (value.empty() ? std::string() : std::string(value) + " ") +
           toDisplayText(conversion.fromUnit()) + " " + std::string(unitArrow) + " " +
           toDisplayText(conversion.toUnit());
}

int tabOf(const ConversionCatalog& catalog, const Category* category) {
    int tab = 0;
    for (int id = 0; id < catalog.categoryCount(); ++id) {
        const Category* other = catalog.categoryAt(id);
        if (other == category) return other->visible() != 0 ? tab : -1;
        if (other->visible() != 0) ++tab;
    }
    return -1;
}

std::string findRowText(const FindRow& row) {
    switch (row.kept) {
    case FindRow::Kept::Favourite:
        return matchText(row.match) + " (favourite)";
    case FindRow::Kept::Recent:
        return keptConversionText(*row.match.category, *row.match.conversion, row.value) +
               " (recent)";
    case FindRow::Kept::No:
        break;
    }
    return matchText(row.match) + (row.suggestion ? " (suggestion)" : "");
}

std::size_t utf16Length(std::string_view utf8) {
    std::size_t units = 0;
    for (const unsigned char byte : utf8) {
        if ((byte & 0xC0) != 0x80) ++units;
        if (byte >= 0xF0) ++units;
    }
    return units;
}
