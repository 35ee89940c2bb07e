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
#include "settings/user_region.h"
#include "text/display_text.h"
#include "text/query_grammar.h"
#include "text/text_scan.h"
#include "value/result_text.h"
#include "value/user_number_format.h"
#include "value/value_reader.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <ostream>
#include <unordered_set>

// Each step of --convert that can fail gives the clause that follows "velmora: " on stderr.

namespace {

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

// The names of the names.txt beside the catalog, those of the user's region among them. A file
// there that is refused only costs the names, as units are still found by their labels: err says
// so, and the command goes on.
UnitNames namesBeside(const std::string& catalogPath, std::ostream& err) {
    std::string refusal;
    UnitNames names = readUnitNames(namesPathBeside(catalogPath), &refusal, userRegion());
    if (!refusal.empty()) err << "velmora: " << refusal << "\n";
    return names;
}

// "Nanoliters (1e-9 Liters) → Milliliters", and the unit between two lines.
std::string describe(const UnitPair& pair) {
    std::string text = pair.fromShown + " " + std::string(unitArrow) + " " + pair.toShown;
    if (pair.then) text += " (through " + toDisplayText(pair.conversion->toUnit()) + ")";
    return text;
}

// The value as typed, read in the From unit: a number, or a quantity in units of its category.
Result<double> valueInFromUnit(const std::string& typed, NumberFormat format, const UnitPair& pair,
                               const UnitNames& names) {
    const Result<QuantityValue> value =
        readValueIn(typed, format, *pair.category, pair.fromUnit, names);
    // The parts of a quantity are units of the catalog; a prefixed From unit is none.
    if (value && !value->readAs.empty() && pair.fromFactor != 1.0)
        return Failure{"the value \"" + typed + "\" is in several units, the first of them " +
                       pair.fromShown + ", which the catalog has no line of: write it in one unit"};
    if (value) return value->value;
    return Failure{"the value \"" + typed + "\" cannot be read in " + toDisplayText(pair.fromUnit) +
                   ": " + clause(value.why())};
}

// value times factor, or divided by it, or why that is no number to print.
Result<double> scaled(double value, double factor, bool divide, const std::string& what) {
    const double result = divide ? value / factor : value * factor;
    if (!std::isfinite(result))
        return Failure{what + " is too large to print: numbers go up to about 1.8e308"};
    if (value != 0.0 && !std::isnormal(result))
        return Failure{what + " is too small to print: numbers go down to about 2.2e-308"};
    return result;
}

// The conversion at value: the prefixes' factors, and between them the catalog's lines; a result
// is a finite number, or no result at all.
Result<double> computed(const UnitPair& pair, double value, const std::string& typed) {
    const std::string what = typed + " " + pair.fromShown + " in " + pair.toShown;
    // One unit with two prefixes: their ratio, which stays in range where the two factors
    // would not.
    const Result<double> start = scaled(
        value, pair.conversion ? pair.fromFactor : pair.fromFactor / pair.toFactor, false, what);
    if (!start) return start;
    double result = *start;
    for (const Conversion* line : {pair.conversion, pair.then}) {
        if (!line) continue;
        double next = 0.0;
        if (const int code = line->compute(result, next); code != FormulaOk)
            return Failure{"the formula \"" + toDisplayText(line->formula()) + "\" of " +
                           toDisplayText(pair.category->name()) + ": " +
                           toDisplayText(line->fromUnit()) + " " + std::string(unitArrow) + " " +
                           toDisplayText(line->toUnit()) +
                           " cannot be computed: " + std::string(formulaCodeMeaning(code)) +
                           " (engine code " + std::to_string(code) + ")"};
        switch (resultRange(*line, result, next)) {
        case ResultRange::Within:
            break;
        case ResultRange::Undefined:
            return Failure{what + " is no number: the formula \"" + toDisplayText(line->formula()) +
                           "\" is undefined there"};
        case ResultRange::TooLarge:
            return Failure{what + " is too large to print: the formula \"" +
                           toDisplayText(line->formula()) +
                           "\" goes beyond about 1.8e308 or divides by zero"};
        case ResultRange::TooSmall:
            return Failure{what + " is too small to print: it falls below about 2.2e-308, the "
                                  "smallest number held with all its digits"};
        }
        result = next;
    }
    if (!pair.conversion || pair.toFactor == 1.0) return result;
    return scaled(result, pair.toFactor, true, what);
}

std::string joined(const std::vector<std::string>& words) {
    std::string text;
    for (const std::string& word : words)
        text += (text.empty() ? "" : " ") + word;
    return text;
}

// The result and a line end: in the units of a split To side, the last with the decimals of
// precision or in full; else with precision as the window shows it, or in full.
Status printResult(std::ostream& out, double result, const UnitPair& pair,
                   std::optional<int> precision, const std::string& typed) {
    if (pair.splitSizes.empty()) {
        out << (precision ? resultText(result, *precision) : formatExact(result)) << "\n";
        return {};
    }
    const std::vector<std::string> parts =
        splitTexts(result, pair.splitSizes, precision ? *precision : -1);
    if (parts.empty())
        return Failure{typed + " " + pair.fromShown + " is too large to split into \"" +
                       joined(pair.splitWords) + "\": past 1e15 " + pair.splitWords.back() +
                       " a number no longer holds the smaller units; ask for " +
                       pair.splitWords.front() + " alone"};
    std::string line;
    for (std::size_t i = 0; i < parts.size(); ++i)
        line += (i ? " " : "") + parts[i] + " " + pair.splitWords[i];
    out << line << "\n";
    return {};
}

// The conversion of request with the catalog and its names, once both are read.
Status convertWith(const ConvertRequest& request, const TypedRequest& typed,
                   const ConversionCatalog& catalog, const Category* named, const UnitNames& names,
                   std::ostream& out, std::ostream& err) {
    const NumberFormat format = userNumberFormat();
    const Result<UnitPair> pair =
        resolveUnitPair(catalog, names, {typed.from, typed.to, named, request.catalogName});
    if (!pair) return Failure{clause(pair.why())};
    // Not the labels typed: a script can see which were used.
    if (pair->byNames) err << "velmora: " << typed.value << " " << describe(*pair) << "\n";
    const Result<double> value = valueInFromUnit(typed.value, format, *pair, names);
    if (!value) return value.status();
    const Result<double> result = computed(*pair, *value, typed.value);
    if (!result) return result.status();
    return printResult(out, *result, *pair, request.precision, typed.value);
}

// The value and its units as typed, or why they cannot be read; a value given apart from its
// units is a number.
Result<TypedRequest> typedRequest(const ConvertRequest& request) {
    const NumberFormat format = userNumberFormat();
    Result<TypedRequest> typed = splitRequest(request, format);
    if (!typed) return typed;
    // Apart from its units, the value is a number; with them, it is read in the From unit.
    if (const Status number = request.from.empty() ? Status() : wholeNumber(typed->value, format);
        !number)
        return Failure{number.why()};
    return typed;
}

Status convert(const ConvertRequest& request, std::ostream& out, std::ostream& err) {
    const Result<TypedRequest> typed = typedRequest(request);
    if (!typed) return typed.status();
    ConversionCatalog catalog;
    if (const Status loaded = loadCatalog(request, catalog); !loaded) return loaded;
    const Result<const Category*> named = namedCategory(catalog, request);
    if (!named) return named.status();
    const UnitNames names = namesBeside(request.catalogPath, err);
    return convertWith(request, *typed, catalog, *named, names, out, err);
}

int finished(const Status& done, std::ostream& err) {
    if (done) return 0;
    err << "velmora: " << done.why() << "\n";
    return 2;
}

} // namespace

int runConvert(const ConvertRequest& request, std::ostream& out, std::ostream& err) {
    return finished(convert(request, out, err), err);
}

int runConvertWith(const ConvertRequest& request, const ConversionCatalog& catalog,
                   const UnitNames& names, std::ostream& out, std::ostream& err) {
    const Result<TypedRequest> typed = typedRequest(request);
    if (!typed) return finished(typed.status(), err);
    const Result<const Category*> named = namedCategory(catalog, request);
    if (!named) return finished(named.status(), err);
    return finished(convertWith(request, *typed, catalog, *named, names, out, err), err);
}
