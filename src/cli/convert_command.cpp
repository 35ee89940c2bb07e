#include "cli/convert_command.h"

#include "catalog/case_fold.h"
#include "catalog/catalog.h"
#include "catalog/display_text.h"
#include "cli/catalog_check.h"
#include "formula/evaluate_formula.h"
#include "formula/number_text.h"
#include "search/closest_labels.h"
#include "search/conversion_search.h"
#include "search/unit_names.h"

#include <algorithm>
#include <cmath>
#include <ostream>
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

// The first conversion from the unit the words of from name best; none when from has no word
// to look for (blanks, signs alone).
FoundConversion convertingFrom(const ConversionSearch& search, std::string_view from) {
    const SearchQuery query = unitPairQuery(from, {});
    if (query.fromWords.empty()) return {};
    const SearchResult result = search.find(query, 1);
    if (result.matches.empty()) return {};
    return {result.matches.front().category, result.matches.front().conversion};
}

// What --convert says when the pair is not there: the unit it lacks, and the labels closest to
// it in the category concerned.
std::string notFoundMessage(const ConversionCatalog& catalog, const UnitNames& names,
                            const ConversionSearch& search, const ConvertRequest& request,
                            const Category* named) {
    const std::vector<const Category*> categories = categoriesToSearch(catalog, named);
    // The first category that has the From unit, byte for byte, else ignoring case, else as the
    // search finds it; and that unit's label.
    const Category* withFrom = nullptr;
    std::string_view fromLabel;
    const TypedLabel from(request.from);
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
        const FoundConversion found = convertingFrom(search, request.from);
        withFrom = found.category;
        if (found.conversion) fromLabel = found.conversion->fromUnit();
    }
    const std::string where =
        named ? " in category \"" + display(named->name()) + "\"" : " in " + request.catalogName;
    if (!withFrom) {
        if (catalog.categoryCount() == 0)
            return "the catalog " + request.catalogName + " holds no conversions";
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
        if (!unitPairQuery(request.from, {}).fromWords.empty())
            closest = closestLabels(request.from, labels.labels, 3, names);
        if (!named)
            for (std::string& label : closest)
                label += " (" + categoryOf[label] + ")";
        return "no unit \"" + request.from + "\" to convert from" + where + closestClause(closest);
    }
    // The From unit is there, but not the pair: the To labels it converts to, in that category.
    LabelList labels;
    for (const auto& conversion : withFrom->conversions())
        if (conversion.fromUnit() == fromLabel) labels.add(display(conversion.toUnit()));
    return "no conversion from \"" + request.from + "\" to \"" + request.to + "\" in category \"" +
           display(withFrom->name()) + "\"" +
           closestClause(closestLabels(request.to, labels.labels, 3, names));
}

// Why the value cannot be converted, or nothing: it must be a number as a whole, within the
// range of numbers.
std::optional<std::string> valueFailure(std::string_view value) {
    const ValueReading reading = valueReading(value);
    if (reading.read.empty()) return "the value \"" + std::string(value) + "\" is not a number";
    if (!reading.complete)
        return "the value \"" + std::string(value) + "\" is not a number as a whole: only \"" +
               std::string(reading.read) + "\" of it can be read";
    if (!std::isfinite(readLeadingNumber(value)))
        return "the value \"" + std::string(value) +
               "\" is too large: numbers go up to about 1.8e308";
    return std::nullopt;
}

// Whether a side typed as a whole label, ignoring letter case, was taken for another unit: a
// pair of labels the catalog lacks must not become a pair of look-alikes ("Meters Meters" is
// no Meters per second to Meters per minute).
bool missesATypedLabel(const std::vector<const Category*>& categories, std::string_view from,
                       std::string_view to, const Conversion& found) {
    const TypedLabel typedFrom(from);
    const TypedLabel typedTo(to);
    bool fromIsALabel = false;
    bool toIsALabel = false;
    for (const Category* category : categories)
        for (const auto& conversion : category->conversions()) {
            fromIsALabel = fromIsALabel || typedFrom.matches(conversion.fromUnit(), true);
            toIsALabel = toIsALabel || typedTo.matches(conversion.toUnit(), true);
        }
    return (fromIsALabel && !typedFrom.matches(found.fromUnit(), true)) ||
           (toIsALabel && !typedTo.matches(found.toUnit(), true));
}

std::string describe(const FoundConversion& found) {
    return display(found.conversion->fromUnit()) + " \xE2\x86\x92 " +
           display(found.conversion->toUnit());
}

} // namespace

const Category* findCategoryByName(const ConversionCatalog& catalog, std::string_view name) {
    if (const Category* category = catalog.findCategory(name)) return category;
    const TypedLabel typed(name);
    for (int id = 0; id < catalog.categoryCount(); ++id)
        if (const Category* category = catalog.categoryAt(id);
            typed.matches(category->name(), true))
            return category;
    return nullptr;
}

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

int runConvert(const ConvertRequest& request, std::ostream& out, std::ostream& err) {
    if (const auto failure = valueFailure(request.value)) {
        err << "velmora: " << *failure << "\n";
        return 2;
    }
    const double value = readLeadingNumber(request.value);
    ConversionCatalog catalog;
    ReadProblem problem = ReadProblem::None;
    if (!catalog.load(request.catalogPath, &problem)) {
        err << "velmora: " << catalogReadFailure(problem, request.catalogName) << "\n";
        return 2;
    }
    const Category* named = nullptr;
    if (request.category) {
        named = findCategoryByName(catalog, *request.category);
        if (!named) {
            std::vector<std::string> names;
            for (int id = 0; id < catalog.categoryCount(); ++id)
                names.push_back(display(catalog.categoryAt(id)->name()));
            err << "velmora: no category \"" << *request.category << "\" in " << request.catalogName
                << closestClause(closestLabels(*request.category, names)) << "\n";
            return 2;
        }
    }
    std::string refusal;
    const UnitNames names = readUnitNames(namesPathBeside(request.catalogPath), &refusal);
    if (!refusal.empty()) err << "velmora: " << refusal << "\n";
    FoundConversion found = findConversion(catalog, request.from, request.to, named);
    // Hidden categories included, as the labels are looked for in them too.
    std::optional<ConversionSearch> search;
    if (!found.conversion) {
        search.emplace(catalog, names, SearchScope{true, named});
        const ConversionMatch match = search->closestPair(unitPairQuery(request.from, request.to));
        found = {match.category, match.conversion};
        if (found.conversion && missesATypedLabel(categoriesToSearch(catalog, named), request.from,
                                                  request.to, *found.conversion))
            found = {};
        // Not the labels typed: a script can see which were used.
        if (found.conversion) err << "velmora: " << request.value << " " << describe(found) << "\n";
    }
    if (!found.conversion) {
        err << "velmora: " << notFoundMessage(catalog, names, *search, request, named) << "\n";
        return 2;
    }
    double result = 0.0;
    const int code = found.conversion->compute(value, result);
    if (code != FormulaOk) {
        err << "velmora: the formula \"" << display(found.conversion->formula()) << "\" of "
            << display(found.category->name()) << ": " << describe(found)
            << " cannot be computed: " << formulaCodeMeaning(code) << " (engine code " << code
            << ")\n";
        return 2;
    }
    if (!std::isfinite(result)) {
        err << "velmora: " << request.value << " " << display(found.conversion->fromUnit())
            << " in " << display(found.conversion->toUnit()) << " is "
            << (std::isnan(result) ? "no number: the formula \""
                                   : "too large to print: the formula \"")
            << display(found.conversion->formula()) << "\" "
            << (std::isnan(result) ? "is undefined there"
                                   : "goes beyond about 1.8e308 or divides by zero")
            << "\n";
        return 2;
    }
    out << (request.precision ? formatFixed(result, *request.precision) : formatExact(result))
        << "\n";
    return 0;
}
