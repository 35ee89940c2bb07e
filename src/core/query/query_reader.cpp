#include "query/query_reader.h"

#include "catalog/catalog.h"
#include "formula/number_text.h"
#include "query/query_grammar.h"
#include "search/closest_labels.h"
#include "search/search_query.h"
#include "text/case_fold.h"
#include "text/display_text.h"
#include "text/search_text.h"
#include "text/text_scan.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <unordered_set>

// How far a way of reading a query got before it failed: the refusal of the way that got
// furthest is the one the user hears.
namespace {
enum Stage : int {
    stageNoShape = -1,
    stageValue = 0,
    stageUnit = 1,
    stageQuantity = 2,
    stageLine = 3
};
} // namespace

struct QueryReader::SideUnit {
    UnitReading unit;
    // From: the value in unit, and the parts read; To: the units of a split result.
    double value = 1.0;
    std::string readAs;
    std::vector<std::string> splitWords;
    std::vector<double> splitSizes;
};

// What one side of a query says: the units it may mean, or why it means none.
struct QueryReader::Side {
    // The units as typed, and the value.
    std::string typed;
    std::string valueText;
    std::vector<SideUnit> units;
    std::vector<UnitReading> otherCase;
    // Without units: why, or empty where no unit has the name typed.
    std::string why;
    int stage = stageUnit;
    // Each unit is the label typed, letter case aside.
    bool asLabel = false;
};

struct QueryReader::Candidate {
    std::size_t from;
    std::size_t to;
};

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Whether a text starts as a value does: a digit, a point, a parenthesis, a sign or a vulgar
// fraction.
bool startsLikeNumber(std::string_view text) {
    if (text.empty()) return false;
    const auto first = static_cast<unsigned char>(text[0]);
    if (isDigit(text[0]) || std::string_view("(.+-").find(text[0]) != std::string_view::npos)
        return true;
    if (text.starts_with("\xE2\x88\x92")) return true; // −
    if (first == 0xC2 && text.size() > 1)              // ¼ ½ ¾
        return static_cast<unsigned char>(text[1]) >= 0xBC &&
               static_cast<unsigned char>(text[1]) <= 0xBE;
    return text.size() > 2 && text.starts_with("\xE2\x85") && // ⅐ to ⅞
           static_cast<unsigned char>(text[2]) >= 0x90 &&
           static_cast<unsigned char>(text[2]) <= 0x9E;
}

// "Watts (Power)": a unit and its quantity.
std::string unitOfCategory(const UnitReading& unit) {
    return unit.shown + " (" + toDisplayText(unit.category->name()) + ")";
}

// "Milliwatts (mW)": a unit and the name that reads as it, where that is not its label.
std::string unitWithName(const UnitReading& unit) {
    return unit.name == unit.shown ? unit.shown : unit.shown + " (" + unit.name + ")";
}

// The text of words [from, to) of a query.
std::string_view wordSpan(const std::vector<std::string_view>& words, std::size_t from,
                          std::size_t to) {
    return {
        words[from].data(),
        static_cast<std::size_t>(words[to - 1].data() + words[to - 1].size() - words[from].data())};
}

} // namespace

QueryReader::QueryReader(const ConversionCatalog& catalog, const UnitNames& names,
                         VocabularyScope scope, NumberFormat format, std::string catalogName)
    : catalog_(catalog), names_(names), scope_(scope), vocabulary_(catalog, names, scope),
      format_(format), catalogName_(std::move(catalogName)) {}

QueryReader::Side QueryReader::unitsSide(std::string_view phrase, double value,
                                         std::string valueText) const {
    Side side;
    side.typed = std::string(trimmed(phrase));
    side.valueText = std::move(valueText);
    const PhraseReading read = vocabulary_.read(side.typed);
    side.asLabel = !read.units.empty();
    for (const UnitReading& unit : read.units) {
        side.units.push_back({unit, value, {}, {}, {}});
        side.asLabel = side.asLabel && unit.source == NameSource::Whole &&
                       unit.name == unit.shown && equalIgnoringCase(side.typed, unit.shown);
    }
    side.otherCase = read.otherCase;
    return side;
}

QueryReader::Side QueryReader::fromSide(std::string_view text, bool valueOne) const {
    text = trimmed(text);
    if (valueOne) return unitsSide(text, 1.0, "1");
    if (!startsLikeNumber(text)) return unitsSide(text, 1.0, {});
    const Result<LeadingValue> lead = readLeadingValue(text, format_);
    Side refused;
    refused.typed = std::string(text);
    refused.stage = stageValue;
    if (!lead) {
        refused.why =
            "The value in \"" + refused.typed + "\" cannot be read: " + asClause(lead.why()) + ".";
        return refused;
    }
    const std::string_view rest = trimmed(text.substr(lead->end));
    std::string valueText(trimmed(text.substr(0, lead->end)));
    if (rest.empty()) {
        refused.why =
            "No unit to convert from in \"" + refused.typed + "\": write it after the value.";
        return refused;
    }
    Side side = unitsSide(rest, lead->value, std::move(valueText));
    if (!side.units.empty()) return side;
    // No unit has the words after the value as its name: they may be the units of a value in
    // several parts ("5 ft 11 in"), or a sign that stands for one ("5'").
    const Result<QuantityRead> read = readWholeQuantity(text, format_);
    if (!read) {
        refused.why = read.why();
        return refused;
    }
    if (read->parts.size() > 1 || read->parts.front().unit != rest) return partsSide(*read, text);
    return side;
}

QueryReader::Side QueryReader::partsSide(const QuantityRead& read, std::string_view typed) const {
    Side side;
    side.typed = std::string(typed);
    side.valueText = read.text;
    const PhraseReading first = vocabulary_.read(read.parts.front().unit);
    for (const UnitReading& unit : first.units) {
        if (unit.factor != 1.0) {
            side.why = "The value \"" + read.text + "\" is in several units, the first of them " +
                       unit.shown + ", which the catalog has no line of: write it in one unit.";
            continue;
        }
        Result<SideUnit> parts = partsIn(read, *unit.category, unit.unit);
        if (!parts) {
            if (side.why.empty()) side.why = parts.why();
            continue;
        }
        SideUnit found = std::move(parts).value();
        found.unit = unit;
        side.units.push_back(std::move(found));
    }
    if (side.units.empty()) {
        if (side.why.empty()) side.typed = read.parts.front().unit;
        side.stage = side.why.empty() ? stageUnit : stageValue;
    } else {
        side.why.clear();
    }
    return side;
}

Result<QueryReader::SideUnit> QueryReader::partsIn(const QuantityRead& read,
                                                   const Category& category,
                                                   std::string_view target) const {
    const std::string targetShown = toDisplayText(target);
    const bool several = read.parts.size() > 1;
    SideUnit result;
    double total = 0.0;
    std::string_view previous;
    double previousSize = 0.0;
    for (const ValuePart& part : read.parts) {
        if (part.unit.empty())
            return Failure{"Each number of \"" + read.text + "\" needs its unit."};
        std::vector<UnitReading> units;
        for (UnitReading& unit : vocabulary_.read(part.unit).units)
            if (unit.category == &category) units.push_back(std::move(unit));
        if (units.empty())
            return Failure{"No unit \"" + part.unit + "\" converts to " + targetShown + " in " +
                           toDisplayText(category.name()) + "."};
        if (units.size() > 1) {
            std::string why = "\"" + part.unit + "\" could be: ";
            for (std::size_t i = 0; i < units.size(); ++i)
                why += (i ? ", " : "") + unitWithName(units[i]);
            return Failure{why + "; write one of them."};
        }
        const UnitReading& unit = units.front();
        if (unit.factor != 1.0)
            return Failure{"The value \"" + read.text + "\" names " + unit.shown +
                           ", which the catalog has no line of: write it in " +
                           toDisplayText(unit.unit) + "."};
        double inTarget = part.value;
        if (several) {
            const double size = vocabulary_.sizeIn(category, unit.unit, target);
            if (!(size > 0))
                return Failure{"In \"" + read.text + "\", " + unit.shown +
                               " is a scale with a zero of its own, and values on such scales "
                               "do not add up: a value in several units takes none of them."};
            if (previous == unit.unit)
                return Failure{"In \"" + read.text + "\", " + unit.shown + " comes twice."};
            if (!previous.empty() && !(size < previousSize))
                return Failure{"In \"" + read.text + "\", " + unit.shown + " follows " +
                               toDisplayText(previous) +
                               ", which is not larger: a value in several units names them "
                               "from the largest down (\"5 ft 11 in\")."};
            previous = unit.unit;
            previousSize = size;
            inTarget = part.value * size;
        } else if (unit.unit != target) {
            // One part: the catalog's own line, whatever its kind (°F in °C).
            const Conversion* line = nullptr;
            for (const auto& conversion : category.conversions())
                if (conversion.fromUnit() == unit.unit && conversion.toUnit() == target) {
                    line = &conversion;
                    break;
                }
            if (!line || line->compute(part.value, inTarget) != 0)
                return Failure{"The conversion from " + unit.shown + " to " + targetShown +
                               " cannot be computed."};
        }
        total += inTarget;
        if (!result.readAs.empty()) result.readAs += " + ";
        result.readAs += formatExact(read.negative ? -part.value : part.value) + " " + unit.shown;
    }
    if (!std::isfinite(total))
        return Failure{"The value is too large: numbers go up to about 1.8e308."};
    // A minus before the first part is the whole quantity's.
    if (read.negative && several) result.readAs = "-(" + result.readAs + ")";
    result.value = total;
    return result;
}

QueryReader::Side QueryReader::toSide(std::string_view text) const {
    Side side = unitsSide(text, 1.0, {});
    if (!side.units.empty()) return side;
    // Several words that name no unit together may name the units of a split ("ft in"): the
    // first the unit converted to, each further one a smaller unit of its category.
    const std::vector<std::string_view> words = queryWords(side.typed);
    if (words.size() < 2) return side;
    for (const UnitReading& first : vocabulary_.read(words.front()).units) {
        if (first.factor != 1.0) continue;
        std::vector<double> sizes{1.0};
        for (std::size_t i = 1; i < words.size(); ++i) {
            std::vector<UnitReading> units;
            for (UnitReading& unit : vocabulary_.read(words[i]).units)
                if (unit.category == first.category && unit.factor == 1.0)
                    units.push_back(std::move(unit));
            const double size =
                units.size() == 1
                    ? vocabulary_.sizeIn(*first.category, units.front().unit, first.unit)
                    : 0.0;
            if (!(size > 0) || !(size < sizes.back())) break;
            sizes.push_back(size);
        }
        if (sizes.size() != words.size()) continue;
        SideUnit split{first, 1.0, {}, {}, sizes};
        for (const std::string_view word : words)
            split.splitWords.emplace_back(word);
        side.units.push_back(std::move(split));
    }
    return side;
}

std::vector<QueryReader::Candidate> QueryReader::candidates(const Side& from,
                                                            const Side& to) const {
    std::vector<Candidate> found;
    for (std::size_t f = 0; f < from.units.size(); ++f)
        for (std::size_t t = 0; t < to.units.size(); ++t)
            if (from.units[f].unit.category == to.units[t].unit.category) found.push_back({f, t});
    return found;
}

std::string QueryReader::sideNames(const Side& side) const {
    std::string text;
    for (std::size_t i = 0; i < side.units.size(); ++i)
        text += (i ? " or " : "") + unitOfCategory(side.units[i].unit);
    return text;
}

std::string QueryReader::unknownUnit(const Side& side, bool from, bool withClosest) const {
    if (!withClosest) return "No unit is called \"" + side.typed + "\".";
    const std::string where = scope_.only
                                  ? " in category \"" + toDisplayText(scope_.only->name()) + "\""
                                  : " in " + catalogName_;
    // The labels of the categories read, each with its category where there are several.
    const std::vector<UnitVocabulary::Unit>& units = vocabulary_.units();
    std::vector<std::string> labels;
    labels.reserve(units.size());
    for (const UnitVocabulary::Unit& unit : units)
        labels.push_back(toDisplayText(unit.label));
    if (labels.empty()) return "The catalog " + catalogName_ + " holds no conversions.";
    std::vector<std::string> closest;
    // Blanks or signs alone are close to nothing.
    if (!searchKey(side.typed).empty()) closest = closestLabels(side.typed, labels, 3, names_);
    if (!scope_.only)
        for (std::string& label : closest) {
            const auto at = std::find(labels.begin(), labels.end(), label) - labels.begin();
            label +=
                " (" + toDisplayText(units[static_cast<std::size_t>(at)].category->name()) + ")";
        }
    return "No unit \"" + side.typed + "\" to convert " + (from ? "from" : "to") + where +
           (closest.empty() ? "" : "; the closest: " + quotedList(closest)) + ".";
}

std::vector<std::string> QueryReader::lookAlikes(std::string_view typed,
                                                 const Category& category) const {
    // A name or label of several words, one of them the word typed ("fl oz" for "oz").
    const std::string key = searchKey(typed);
    std::vector<std::string> found;
    if (key.empty() || key.find('-') != std::string::npos) return found;
    for (const std::string_view unit : vocabulary_.unitsWithWord(key, category))
        if (found.size() < 3) found.push_back(toDisplayText(unit));
    return found;
}

std::string QueryReader::noConversion(const Side& from, const UnitReading& source,
                                      std::string_view to) const {
    // The units the From unit converts to, closest first.
    std::vector<std::string> labels;
    std::unordered_set<std::string_view> seen;
    for (const auto& line : source.category->conversions())
        if (line.fromUnit() == source.unit && seen.insert(line.toUnit()).second)
            labels.push_back(toDisplayText(line.toUnit()));
    const std::vector<std::string> closest = closestLabels(to, labels, 3, names_);
    return "No conversion from \"" + from.typed + "\" to \"" + std::string(to) +
           "\" in category \"" + toDisplayText(source.category->name()) + "\"" +
           (closest.empty() ? "" : "; the closest: " + quotedList(closest)) + ".";
}

Result<QueryReading> QueryReader::readingOf(const Side& from, const Side& to,
                                            const Candidate& candidate) const {
    const SideUnit& source = from.units[candidate.from];
    const SideUnit& target = to.units[candidate.to];
    std::optional<UnitPair> pair = unitPair(source.unit, target.unit);
    if (!pair) return Failure{noConversion(from, source.unit, to.typed)};
    pair->splitWords = target.splitWords;
    pair->splitSizes = target.splitSizes;
    QueryReading reading;
    reading.valueText = from.valueText;
    reading.value = source.value;
    reading.readAs = source.readAs;
    reading.pair = std::move(*pair);
    reading.byNames =
        !from.asLabel || !to.asLabel || !reading.readAs.empty() || !reading.pair.splitWords.empty();
    return reading;
}

int QueryReader::stageOf(const Side& from, const Side& to) const {
    if (from.units.empty()) return from.stage;
    if (to.units.empty()) return std::max<int>(to.stage, stageUnit);
    return candidates(from, to).empty() ? stageQuantity : stageLine;
}

Result<QueryReading> QueryReader::decide(const Side& from, const Side& to, bool withClosest) const {
    if (from.units.empty())
        return Failure{from.why.empty() ? unknownUnit(from, true, withClosest) : from.why};
    if (to.units.empty()) {
        if (!to.why.empty()) return Failure{to.why};
        // Beside the From unit of the first category, the closest of the units it converts to.
        if (to.otherCase.empty())
            return Failure{noConversion(from, from.units.front().unit, to.typed)};
        return Failure{unknownUnit(to, false, withClosest)};
    }
    const std::vector<Candidate> found = candidates(from, to);
    if (found.empty()) {
        std::string why = "\"" + from.typed + "\" is " + sideNames(from) + " and \"" + to.typed +
                          "\" " + sideNames(to) + ": no conversion between them";
        // A unit of the other side's quantity that the letters name in another case, or whose
        // name holds the words typed: the user may have meant it.
        for (const auto& [side, other] : {std::pair{&from, &to}, std::pair{&to, &from}}) {
            for (const UnitReading& unit : side->otherCase)
                if (std::any_of(other->units.begin(), other->units.end(), [&](const SideUnit& o) {
                        return o.unit.category == unit.category;
                    }))
                    why += "; \"" + unit.name + "\" is " + unit.shown;
            if (!side->otherCase.empty() || other->units.empty()) continue;
            const Category& category = *other->units.front().unit.category;
            const std::vector<std::string> alike = lookAlikes(side->typed, category);
            if (!alike.empty())
                why += "; \"" + side->typed + "\" is part of a name of " + quotedList(alike);
        }
        return Failure{why + "."};
    }
    // The first category in the file that holds the pair; another holding the same labels is
    // the catalog's own choice (--category names it), any other is a reading of its own.
    const Category* first = from.units[found.front().from].unit.category;
    std::vector<Candidate> chosen;
    bool otherPairs = false;
    for (const Candidate& candidate : found) {
        if (from.units[candidate.from].unit.category == first) {
            chosen.push_back(candidate);
            continue;
        }
        otherPairs =
            otherPairs || std::none_of(chosen.begin(), chosen.end(), [&](const Candidate& c) {
                return equalIgnoringCase(from.units[c.from].unit.shown,
                                         from.units[candidate.from].unit.shown) &&
                       equalIgnoringCase(to.units[c.to].unit.shown,
                                         to.units[candidate.to].unit.shown);
            });
    }
    const auto listOf = [&](const Side& side, const std::vector<Candidate>& candidates,
                            bool ofFrom) {
        std::vector<std::string> units;
        for (const Candidate& c : candidates) {
            const UnitReading& unit = (ofFrom ? side.units[c.from] : side.units[c.to]).unit;
            std::string text = otherPairs ? unitOfCategory(unit) : unitWithName(unit);
            if (std::find(units.begin(), units.end(), text) == units.end()) units.push_back(text);
        }
        return units;
    };
    if (otherPairs || chosen.size() > 1) {
        const std::vector<Candidate>& all = otherPairs ? found : chosen;
        for (const bool ofFrom : {true, false}) {
            const std::vector<std::string> units = listOf(ofFrom ? from : to, all, ofFrom);
            if (units.size() < 2) continue;
            std::string why = "\"" + (ofFrom ? from : to).typed + "\" could be: ";
            for (std::size_t i = 0; i < units.size(); ++i)
                why += (i ? ", " : "") + units[i];
            return Failure{why + "; write one of them."};
        }
    }
    return readingOf(from, to, chosen.front());
}

Result<QueryReading> QueryReader::conversion(std::string_view query) const {
    if (query.size() > maxQueryLength)
        return Failure{"The query is longer than " + std::to_string(maxQueryLength) +
                       " characters, more than any query needs."};
    const DifferenceMarks marks = withoutDifferenceMarks(normalizedQuery(query, format_));
    if (marks.marked) {
        Result<QueryReading> plain = conversion(marks.text);
        if (!plain) return plain;
        return asDifference(std::move(plain).value());
    }
    const std::string& text = marks.text;
    const Result<std::vector<QueryShape>> shapes = queryShapes(text);
    if (!shapes) return Failure{shapes.why()};
    std::vector<QueryReading> readings;
    // The way of reading that got furthest, whose refusal the user hears if none reads.
    std::optional<std::pair<Side, Side>> furthest;
    int best = stageNoShape;
    for (const QueryShape& shape : *shapes) {
        if (!shape.separated || shape.from.empty() || shape.to.empty()) continue;
        Side from = fromSide(shape.from, shape.valueOne);
        Side to = toSide(shape.to);
        const int stage = stageOf(from, to);
        if (stage == stageLine)
            if (Result<QueryReading> read = decide(from, to)) {
                readings.push_back(std::move(read).value());
                continue;
            }
        if (stage > best) {
            best = stage;
            furthest.emplace(std::move(from), std::move(to));
        }
    }
    if (readings.size() == 1) return std::move(readings.front());
    if (readings.empty()) {
        if (!furthest)
            return Failure{"Write the query as a value, its unit, \"to\" and a unit: \"5 mi to "
                           "km\"."};
        return decide(furthest->first, furthest->second);
    }
    std::string ways;
    for (const QueryReading& reading : readings)
        ways += (ways.empty() ? "" : ", or ") + pairText(reading.pair);
    return Failure{"\"" + std::string(trimmed(query)) + "\" can be read more than one way: " +
                   ways + "; write \"to\" between the units."};
}

Result<QueryReading> QueryReader::conversion(std::string_view value, std::string_view from,
                                             std::string_view to) const {
    // The value's own reading bounds its length; a unit's name is far shorter.
    if (from.size() > maxQueryLength || to.size() > maxQueryLength)
        return Failure{"A unit is longer than " + std::to_string(maxQueryLength) +
                       " characters, more than any name needs."};
    const DifferenceMarks marked[] = {withoutDifferenceMarks(normalizedQuery(value, format_)),
                                      withoutDifferenceMarks(normalizedQuery(from, format_)),
                                      withoutDifferenceMarks(normalizedQuery(to, format_))};
    if (marked[0].marked || marked[1].marked || marked[2].marked) {
        Result<QueryReading> plain = conversion(marked[0].text, marked[1].text, marked[2].text);
        if (!plain) return plain;
        return asDifference(std::move(plain).value());
    }
    const std::string valueText = normalizedQuery(value, format_);
    if (from.empty()) {
        // A value with its units, then the To unit.
        Side source = fromSide(valueText, false);
        if (source.units.empty() && source.why.empty() && source.valueText.empty())
            source.why = "No unit to convert from in \"" + std::string(trimmed(value)) +
                         "\": write it after the value.";
        return decide(source, toSide(normalizedQuery(to, format_)));
    }
    // A value given apart from its units is a number, read as a whole.
    const Result<double> number = readValue(valueText, format_);
    if (!number) {
        const std::string quoted = "The value \"" + std::string(value) + "\"";
        if (!startsLikeNumber(trimmed(valueText)) &&
            trimmed(valueText).find_first_of("0123456789") == std::string_view::npos)
            return Failure{quoted + " is not a number."};
        if (number.why().starts_with("The value is "))
            return Failure{quoted + number.why().substr(9)};
        return Failure{quoted + " is not a number as a whole: " + asClause(number.why()) + "."};
    }
    return decide(unitsSide(normalizedQuery(from, format_), *number, std::string(trimmed(value))),
                  toSide(normalizedQuery(to, format_)));
}

QueryReader::Readings QueryReader::everyReading(std::string_view query) const {
    Readings found;
    const DifferenceMarks marks =
        withoutDifferenceMarks(normalizedQuery(query.substr(0, maxQueryLength), format_));
    if (marks.marked) {
        const Readings plain = everyReading(marks.text);
        for (const QueryReading& reading : plain.readings) {
            Result<QueryReading> difference = asDifference(reading);
            if (difference)
                found.readings.push_back(std::move(difference).value());
            else if (found.whyNone.empty())
                found.whyNone = difference.why();
        }
        if (!found.readings.empty()) found.whyNone.clear();
        if (plain.readings.empty()) found.whyNone = plain.whyNone;
        return found;
    }
    const std::string& text = marks.text;
    const Result<std::vector<QueryShape>> shapes = queryShapes(text);
    if (!shapes) {
        found.whyNone = shapes.why();
        return found;
    }
    const auto add = [&](const QueryReading& reading) {
        const bool known =
            std::any_of(found.readings.begin(), found.readings.end(), [&](const QueryReading& r) {
                return r.pair.category == reading.pair.category &&
                       r.pair.fromUnit == reading.pair.fromUnit &&
                       r.pair.toUnit == reading.pair.toUnit &&
                       r.pair.fromFactor == reading.pair.fromFactor &&
                       r.pair.toFactor == reading.pair.toFactor;
            });
        if (!known) found.readings.push_back(reading);
    };
    // The way of reading that got furthest: its refusal says why nothing matches, and is put in
    // words only when nothing does. A side alone has no other.
    struct Tried {
        Side from;
        std::optional<Side> to;
        // Without to: the side alone was typed as From, else as To.
        bool asFrom = true;
    };
    std::optional<Tried> furthest;
    int best = stageNoShape;
    const auto keep = [&](int stage, Tried tried) {
        if (stage <= best) return;
        best = stage;
        furthest = std::move(tried);
    };
    const auto pairs = [&](Side from, Side to) {
        for (const Candidate& candidate : candidates(from, to))
            if (Result<QueryReading> reading = readingOf(from, to, candidate)) add(*reading);
        const int stage = stageOf(from, to);
        keep(stage, {std::move(from), std::move(to)});
    };
    // One side alone: what converts from it, or to it.
    const auto alone = [&](Side side, bool ofFrom) {
        for (const SideUnit& unit : side.units) {
            if (!unit.splitWords.empty()) continue;
            QueryReading reading;
            reading.valueText = side.valueText;
            reading.value = unit.value;
            reading.readAs = unit.readAs;
            reading.pair.category = unit.unit.category;
            (ofFrom ? reading.pair.fromUnit : reading.pair.toUnit) = unit.unit.unit;
            (ofFrom ? reading.pair.fromFactor : reading.pair.toFactor) = unit.unit.factor;
            (ofFrom ? reading.pair.fromShown : reading.pair.toShown) = unit.unit.shown;
            reading.byNames = true;
            add(reading);
        }
        if (side.units.empty()) {
            const int stage = side.stage;
            keep(stage, {std::move(side), std::nullopt, ofFrom});
        }
    };
    for (const QueryShape& shape : *shapes) {
        if (shape.separated) {
            if (!shape.from.empty() && !shape.to.empty())
                pairs(fromSide(shape.from, shape.valueOne), toSide(shape.to));
            else if (!shape.from.empty())
                alone(fromSide(shape.from, shape.valueOne), true);
            else if (!shape.to.empty())
                alone(toSide(shape.to), false);
            continue;
        }
        // Without a separator the From units come first, then the To units, anywhere among the
        // first words.
        alone(fromSide(shape.from, shape.valueOne), true);
        const std::vector<std::string_view> words = queryWords(shape.from);
        const std::size_t count = std::min(words.size(), SearchQuery::maxWords);
        for (std::size_t split = 1; split < count; ++split)
            pairs(fromSide(wordSpan(words, 0, split), shape.valueOne),
                  toSide(wordSpan(words, split, count)));
    }
    if (found.readings.empty() && furthest) {
        // A side alone is refused by itself; a pair of sides as the command line refuses it.
        const Side& side = furthest->from;
        found.whyNone = furthest->to        ? decide(side, *furthest->to, false).why()
                        : !side.why.empty() ? side.why
                                            : unknownUnit(side, furthest->asFrom, false);
    }
    return found;
}

Result<QueryReading> QueryReader::asDifference(QueryReading reading) const {
    UnitPair& pair = reading.pair;
    const std::string from =
        pair.fromUnit.empty() ? std::string() : std::string(pair.fromUnit) + " (difference)";
    const std::string to =
        pair.toUnit.empty() ? std::string() : std::string(pair.toUnit) + " (difference)";
    const auto refusal = [&](std::string why) {
        return Failure{why + ": \u0394, \"delta\" and a degree sign after the letter (C\u00B0) ask "
                             "for a temperature difference, such as 10 C\u00B0 to F\u00B0."};
    };
    if (pair.fromFactor != 1.0 || pair.toFactor != 1.0 || !pair.splitWords.empty() ||
        !reading.readAs.empty())
        return refusal("A difference is read only between units written whole");
    for (int id = 0; id < catalog_.categoryCount(); ++id) {
        const Category* category = catalog_.categoryAt(id);
        if ((scope_.only && category != scope_.only) ||
            (!scope_.hiddenToo && category->visible() == 0))
            continue;
        for (const Conversion& line : category->conversions()) {
            const bool fromFits = from.empty() || line.fromUnit() == from;
            const bool toFits = to.empty() || line.toUnit() == to;
            // One unit on both sides has no line of its own: any line from it names it.
            const bool same = !from.empty() && from == to && line.fromUnit() == from;
            if (!same && !(fromFits && toFits && (!from.empty() || line.toUnit() == to))) continue;
            pair.category = category;
            pair.conversion = same || from.empty() || to.empty() ? nullptr : &line;
            pair.then = nullptr;
            // The labels in the catalog, which outlive the reading.
            if (!from.empty()) pair.fromUnit = line.fromUnit();
            if (!to.empty()) pair.toUnit = same ? line.fromUnit() : line.toUnit();
            pair.fromShown = pair.fromUnit;
            pair.toShown = pair.toUnit;
            reading.byNames = true;
            return reading;
        }
    }
    const std::string_view named = pair.fromUnit.empty() ? pair.toUnit : pair.fromUnit;
    return refusal("\"" + std::string(named) + "\" has no difference unit in " + catalogName_);
}

Result<AmountRead> QueryReader::amount(std::string_view text, const Category& category,
                                       std::string_view unit) const {
    const std::string normalized = normalizedQuery(text, format_);
    const Result<double> number = readValue(normalized, format_);
    if (number) return AmountRead{*number, {}};
    const std::string_view typed = trimmed(normalized);
    if (!startsLikeNumber(typed)) return Failure{number.why()};
    const Result<LeadingValue> lead = readLeadingValue(typed, format_);
    if (!lead) return Failure{lead.why()};
    // One unit by its whole name, else the units of a value in several parts.
    QuantityRead read;
    const std::string_view rest = trimmed(typed.substr(lead->end));
    read.parts.push_back(
        {lead->value, std::string(trimmed(typed.substr(0, lead->end))), std::string(rest)});
    read.text = std::string(typed);
    const std::vector<UnitReading> units = vocabulary_.read(rest).units;
    const bool named = std::any_of(units.begin(), units.end(),
                                   [&](const UnitReading& u) { return u.category == &category; });
    if (!named) {
        Result<QuantityRead> parts = readWholeQuantity(typed, format_);
        if (!parts) return Failure{parts.why()};
        read = std::move(parts).value();
    }
    const Result<SideUnit> value = partsIn(read, category, unit);
    if (!value) return Failure{value.why()};
    return AmountRead{value->value, value->readAs};
}
