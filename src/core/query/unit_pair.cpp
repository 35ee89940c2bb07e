#include "query/unit_pair.h"

#include "catalog/catalog.h"
#include "formula/evaluate_formula.h"
#include "names/unit_vocabulary.h"
#include "search/closest_labels.h"
#include "text/case_fold.h"
#include "text/display_text.h"
#include "value/result_text.h"

#include <cmath>

namespace {

// value times factor, or divided by it, or why that is no number to print.
Result<double> scaled(double value, double factor, bool divide, const std::string& what) {
    const double result = divide ? value / factor : value * factor;
    if (!std::isfinite(result))
        return Failure{what + " is too large to print: numbers go up to about 1.8e308"};
    if (value != 0.0 && !std::isnormal(result))
        return Failure{what + " is too small to print: numbers go down to about 2.2e-308"};
    return result;
}

std::string lineText(const Category& category, const Conversion& line) {
    return toDisplayText(category.name()) + ": " + toDisplayText(line.fromUnit()) + " " +
           std::string(unitArrow) + " " + toDisplayText(line.toUnit());
}

} // namespace

std::optional<UnitPair> unitPair(const UnitReading& from, const UnitReading& to) {
    const Category& category = *from.category;
    UnitPair pair;
    pair.category = &category;
    pair.fromUnit = from.unit;
    pair.toUnit = to.unit;
    pair.fromFactor = from.factor;
    pair.toFactor = to.factor;
    pair.fromShown = from.shown;
    pair.toShown = to.shown;
    if (from.unit == to.unit) return pair;
    for (const auto& line : category.conversions())
        if (line.fromUnit() == from.unit && line.toUnit() == to.unit) {
            pair.conversion = &line;
            return pair;
        }
    for (const auto& first : category.conversions()) {
        if (first.fromUnit() != from.unit || first.toUnit() == to.unit) continue;
        for (const auto& second : category.conversions())
            if (second.fromUnit() == first.toUnit() && second.toUnit() == to.unit) {
                pair.conversion = &first;
                pair.then = &second;
                return pair;
            }
    }
    return std::nullopt;
}

Result<double> convertedValue(const UnitPair& pair, double value, std::string_view typed) {
    const std::string what = std::string(typed) + " " + pair.fromShown + " in " + pair.toShown;
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
                           lineText(*pair.category, *line) +
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

std::string pairText(const UnitPair& pair) {
    std::string text = pair.fromShown + " " + std::string(unitArrow) + " " + pair.toShown;
    if (pair.then) text += " (through " + toDisplayText(pair.conversion->toUnit()) + ")";
    return text;
}

Result<const Category*> categoryNamed(const ConversionCatalog& catalog, std::string_view name,
                                      std::string_view catalogName) {
    if (const Category* category = catalog.findCategory(name)) return category;
    std::vector<std::string> names;
    for (int id = 0; id < catalog.categoryCount(); ++id) {
        const Category* category = catalog.categoryAt(id);
        if (equalIgnoringCase(toDisplayText(category->name()), toDisplayText(name)))
            return category;
        names.push_back(toDisplayText(category->name()));
    }
    const std::vector<std::string> closest = closestLabels(name, names);
    return Failure{"No category \"" + std::string(name) + "\" in " + std::string(catalogName) +
                   (closest.empty() ? "" : "; the closest: " + quotedList(closest)) + "."};
}

std::string quotedList(const std::vector<std::string>& texts) {
    std::string text;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (i > 0) text += i + 1 == texts.size() ? " or " : ", ";
        text += "\"" + texts[i] + "\"";
    }
    return text;
}
