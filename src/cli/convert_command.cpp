#include "cli/convert_command.h"

#include "catalog/catalog.h"
#include "cli/catalog_check.h"
#include "formula/evaluate_formula.h"
#include "formula/number_text.h"
#include "result.h"
#include "search/quantity_value.h"
#include "search/search_query.h"
#include "search/search_text.h"
#include "search/unit_names.h"
#include "search/unit_pair.h"
#include "text/display_text.h"
#include "text/query_grammar.h"
#include "text/text_scan.h"
#include "value/result_text.h"
#include "value/value_reader.h"

#include <algorithm>
#include <cmath>
#include <locale>
#include <optional>
#include <ostream>
#include <unordered_set>

// Each step of --convert that can fail gives the clause that follows "velmora: " on stderr.

namespace {

std::string display(std::string_view bytes) {
    return toDisplayText(bytes);
}

// How the user's locale writes numbers: its decimal separator, and its thousands separator
// where that is a point or a comma; a point and none where the locale is unknown or names none
// (the C locale of scripts), so that "1,000" is never guessed to be a thousand.
NumberFormat localeNumberFormat() {
    try {
        const std::locale locale("");
        const auto& punctuation = std::use_facet<std::numpunct<char>>(locale);
        const char decimal = punctuation.decimal_point() == ',' ? ',' : '.';
        const char group = punctuation.thousands_sep();
        const bool grouped =
            !punctuation.grouping().empty() && (group == '.' || group == ',') && group != decimal;
        return {decimal, grouped ? group : '\0'};
    } catch (const std::exception&) {
        return {'.', '\0'};
    }
}

// A sentence of the core as a clause of a message: "The value is…." gives "the value is…".
std::string clause(std::string sentence) {
    if (!sentence.empty() && sentence.front() >= 'A' && sentence.front() <= 'Z')
        sentence.front() = static_cast<char>(sentence.front() - 'A' + 'a');
    if (!sentence.empty() && sentence.back() == '.') sentence.pop_back();
    return sentence;
}

// The value, the From unit and the To unit as the user wrote them: apart, or the first two as a
// quantity ("5 ft 11 in" cm), or all in one query ("5 mi to km").
struct TypedRequest {
    std::string value;
    std::string from;
    std::string to;
};

Result<TypedRequest> splitRequest(const ConvertRequest& request, NumberFormat format) {
    if (!request.from.empty() || (request.to.empty() && request.value.empty()))
        return TypedRequest{request.value, request.from, request.to};
    TypedRequest typed;
    if (!request.to.empty()) {
        // A quantity with its units, then the To unit.
        const Result<QuantityRead> read = readWholeQuantity(request.value, format);
        if (!read)
            return Failure{"the value \"" + request.value +
                           "\" cannot be read: " + clause(read.why())};
        typed.from = read->parts.front().unit;
        if (typed.from.empty())
            return Failure{"no unit to convert from in \"" + request.value +
                           "\": write it after the value"};
        typed.value = read->parts.size() == 1 ? read->parts.front().number : read->text;
        typed.to = request.to;
        return typed;
    }
    // One query, read as Find reads it.
    const SearchQuery query = parseSearchQuery(request.value, format);
    if (!query.valueProblem.empty())
        return Failure{"the value in \"" + request.value +
                       "\" cannot be read: " + clause(query.valueProblem)};
    if (!query.hasTo || query.fromText.empty() || query.toText.empty())
        return Failure{"write the query as a value, its unit, \"to\" and a unit: \"5 mi to km\""};
    // A value missing is one of the unit: "lb to kg".
    typed.value = query.value.empty() ? "1" : query.value;
    typed.from = query.fromText;
    typed.to = query.toText;
    return typed;
}

// A value given apart from its units is a number, read as a whole, within the range of numbers.
Status wholeNumber(std::string_view value, NumberFormat format) {
    const Result<double> read = readValue(value, format);
    if (read) return {};
    const std::string quoted = "the value \"" + std::string(value) + "\"";
    if (leadingNumberLength(value) == 0 && !readQuantity(value, format) &&
        trimmed(value).find_first_of("0123456789") == std::string_view::npos)
        return Failure{quoted + " is not a number"};
    if (read.why().starts_with("The value is "))
        return Failure{quoted + clause(read.why().substr(9))};
    return Failure{quoted + " is not a number as a whole: " + clause(read.why())};
}

Status loadCatalog(const ConvertRequest& request, ConversionCatalog& catalog) {
    ReadProblem problem = ReadProblem::None;
    if (catalog.load(request.catalogPath, &problem)) return {};
    return Failure{catalogReadFailure(problem, request.catalogName)};
}

// The category of --category; none when not given.
Result<const Category*> namedCategory(const ConversionCatalog& catalog,
                                      const ConvertRequest& request) {
    if (!request.category) return static_cast<const Category*>(nullptr);
    Result<const Category*> named = categoryNamed(catalog, *request.category, request.catalogName);
    if (!named) return Failure{clause(named.why())};
    return named;
}

// The names of the names.txt beside the catalog. A file there that is refused only costs the
// names, as units are still found by their labels: err says so, and the command goes on.
UnitNames namesBeside(const std::string& catalogPath, std::ostream& err) {
    std::string refusal;
    UnitNames names = readUnitNames(namesPathBeside(catalogPath), &refusal);
    if (!refusal.empty()) err << "velmora: " << refusal << "\n";
    return names;
}

// What is converted: the catalog's conversion, or none where the To unit is the From unit itself,
// and the units of a To side of several that the result is split into.
struct Plan {
    const Category* category = nullptr;
    const Conversion* conversion = nullptr;
    std::string_view fromLabel;
    std::string_view toLabel;
    // Found by names, not by the labels as typed: the user is to hear which labels were taken.
    bool byNames = false;
    std::vector<std::string> splitWords;
    std::vector<double> splitSizes;
};

Plan planOf(const UnitPair& pair) {
    return {pair.category,
            pair.conversion,
            pair.conversion->fromUnit(),
            pair.conversion->toUnit(),
            pair.byNames,
            pair.splitWords,
            pair.splitSizes};
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
    std::vector<std::string> keys;
    for (const std::string_view text : typed)
        keys.push_back(searchKey(trimmed(text)));
    std::unordered_set<std::string_view> seen;
    for (int id = 0; id < catalog.categoryCount(); ++id) {
        const Category* category = catalog.categoryAt(id);
        if (only && category != only) continue;
        for (const auto& conversion : category->conversions())
            for (const std::string_view label : {conversion.fromUnit(), conversion.toUnit()}) {
                if (!seen.insert(label).second) continue;
                std::vector<std::string> texts = names.of(display(label));
                texts.push_back(display(label));
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
std::optional<Plan> samePlan(const ConversionCatalog& catalog, const UnitNames& names,
                             const Category* only, std::string_view from, std::string_view to) {
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
    const std::string shown = display(unit->label);
    Plan plan{unit->category,
              nullptr,
              unit->label,
              unit->label,
              trimmed(from) != shown || trimmed(to) != shown,
              {},
              {}};
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

std::string describe(const Plan& plan) {
    return display(plan.fromLabel) + " " + std::string(unitArrow) + " " + display(plan.toLabel);
}

// The value as typed, read in the From unit: a number, or a quantity in units of its category.
Result<double> valueInFromUnit(const std::string& typed, NumberFormat format, const Plan& plan,
                               const UnitNames& names) {
    const Result<QuantityValue> value =
        readValueIn(typed, format, *plan.category, plan.fromLabel, names);
    if (value) return value->value;
    return Failure{"the value \"" + typed + "\" cannot be read in " + display(plan.fromLabel) +
                   ": " + clause(value.why())};
}

// The conversion's formula at value; a result is a number held with all its digits, or no
// result at all.
Result<double> computed(const Plan& plan, double value, const std::string& typed) {
    if (!plan.conversion) return value;
    const Conversion& conversion = *plan.conversion;
    double result = 0.0;
    if (const int code = conversion.compute(value, result); code != FormulaOk)
        return Failure{"the formula \"" + display(conversion.formula()) + "\" of " +
                       display(plan.category->name()) + ": " + describe(plan) +
                       " cannot be computed: " + std::string(formulaCodeMeaning(code)) +
                       " (engine code " + std::to_string(code) + ")"};
    const std::string what =
        typed + " " + display(conversion.fromUnit()) + " in " + display(conversion.toUnit());
    switch (resultRange(conversion, value, result)) {
    case ResultRange::Within:
        return result;
    case ResultRange::Undefined:
        return Failure{what + " is no number: the formula \"" + display(conversion.formula()) +
                       "\" is undefined there"};
    case ResultRange::TooLarge:
        return Failure{what + " is too large to print: the formula \"" +
                       display(conversion.formula()) +
                       "\" goes beyond about 1.8e308 or divides by zero"};
    case ResultRange::TooSmall:
        break;
    }
    return Failure{what + " is too small to print: it falls below about 2.2e-308, the smallest "
                          "number held with all its digits"};
}

std::string joined(const std::vector<std::string>& words) {
    std::string text;
    for (const std::string& word : words)
        text += (text.empty() ? "" : " ") + word;
    return text;
}

// The result and a line end: in the units of a split To side, the last with the decimals of
// precision or in full; else with precision as the window shows it, or in full.
Status printResult(std::ostream& out, double result, const Plan& plan, std::optional<int> precision,
                   const std::string& typed) {
    if (plan.splitSizes.empty()) {
        out << (precision ? resultText(result, *precision) : formatExact(result)) << "\n";
        return {};
    }
    const std::vector<std::string> parts =
        splitTexts(result, plan.splitSizes, precision ? *precision : -1);
    if (parts.empty())
        return Failure{typed + " " + display(plan.fromLabel) + " is too large to split into \"" +
                       joined(plan.splitWords) + "\": past 1e15 " + plan.splitWords.back() +
                       " a number no longer holds the smaller units; ask for " +
                       plan.splitWords.front() + " alone"};
    std::string line;
    for (std::size_t i = 0; i < parts.size(); ++i)
        line += (i ? " " : "") + parts[i] + " " + plan.splitWords[i];
    out << line << "\n";
    return {};
}

Status convert(const ConvertRequest& request, std::ostream& out, std::ostream& err) {
    const NumberFormat format = localeNumberFormat();
    const Result<TypedRequest> typed = splitRequest(request, format);
    if (!typed) return typed.status();
    // Apart from its units, the value is a number; with them, it is read in the From unit.
    if (const Status number = request.from.empty() ? Status() : wholeNumber(typed->value, format);
        !number)
        return number;
    ConversionCatalog catalog;
    if (const Status loaded = loadCatalog(request, catalog); !loaded) return loaded;
    const Result<const Category*> named = namedCategory(catalog, request);
    if (!named) return named.status();
    const UnitNames names = namesBeside(request.catalogPath, err);
    Plan plan;
    if (std::optional<Plan> same = samePlan(catalog, names, *named, typed->from, typed->to)) {
        plan = std::move(*same);
    } else {
        const Result<UnitPair> pair =
            resolveUnitPair(catalog, names, {typed->from, typed->to, *named, request.catalogName});
        if (!pair) return Failure{clause(pair.why())};
        plan = planOf(*pair);
    }
    // Not the labels typed: a script can see which were used.
    if (plan.byNames) err << "velmora: " << typed->value << " " << describe(plan) << "\n";
    const Result<double> value = valueInFromUnit(typed->value, format, plan, names);
    if (!value) return value.status();
    const Result<double> result = computed(plan, *value, typed->value);
    if (!result) return result.status();
    return printResult(out, *result, plan, request.precision, typed->value);
}

} // namespace

int runConvert(const ConvertRequest& request, std::ostream& out, std::ostream& err) {
    const Status done = convert(request, out, err);
    if (done) return 0;
    err << "velmora: " << done.why() << "\n";
    return 2;
}
