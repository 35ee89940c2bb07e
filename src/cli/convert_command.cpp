#include "cli/convert_command.h"

#include "catalog/case_fold.h"
#include "catalog/catalog.h"
#include "catalog/display_text.h"
#include "cli/catalog_check.h"
#include "commands/conversion_search.h"
#include "formula/evaluate_formula.h"
#include "formula/number_text.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <ostream>

namespace {

std::string display(std::string_view bytes) {
    return toDisplayText(bytes);
}

// The edit distance of a and b with adjacent swaps counting one (optimal string alignment).
std::size_t editDistance(std::string_view a, std::string_view b) {
    const std::size_t n = a.size();
    const std::size_t m = b.size();
    std::vector<std::vector<std::size_t>> d(n + 1, std::vector<std::size_t>(m + 1));
    for (std::size_t i = 0; i <= n; ++i)
        d[i][0] = i;
    for (std::size_t j = 0; j <= m; ++j)
        d[0][j] = j;
    for (std::size_t i = 1; i <= n; ++i) {
        for (std::size_t j = 1; j <= m; ++j) {
            const std::size_t cost = a[i - 1] == b[j - 1] ? 0 : 1;
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cost});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    }
    return d[n][m];
}

// The sum over words of the edit distance to the nearest of labelWords, which keeps a short
// misspelling of one word ("Fet") near the long labels that hold it; the largest value when
// either has no words.
std::size_t wordsDistance(const std::vector<std::string>& words,
                          const std::vector<std::string>& labelWords) {
    if (words.empty() || labelWords.empty()) return SIZE_MAX;
    std::size_t sum = 0;
    for (const std::string& word : words) {
        std::size_t nearest = SIZE_MAX;
        for (const std::string& labelWord : labelWords)
            nearest = std::min(nearest, editDistance(word, labelWord));
        sum += nearest;
    }
    return sum;
}

// The first of the label's words from whose start the letters of word appear in order in the
// label; -1 for none.
int abbreviationStart(std::string_view word, const std::vector<std::string>& labelWords) {
    for (std::size_t first = 0; first < labelWords.size(); ++first) {
        if (labelWords[first].front() != word.front()) continue;
        std::size_t at = 0;
        for (std::size_t w = first; w < labelWords.size() && at < word.size(); ++w)
            for (const char c : labelWords[w])
                if (at < word.size() && c == word[at]) ++at;
        if (at == word.size()) return static_cast<int>(first);
    }
    return -1;
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

void addOnce(std::vector<std::string>& list, const std::string& label) {
    if (std::find(list.begin(), list.end(), label) == list.end()) list.push_back(label);
}

bool sameLabel(std::string_view label, std::string_view text, bool ignoringCase) {
    return ignoringCase ? equalIgnoringCase(display(label), text) : label == text;
}

// The categories to look in: the named one, or all in file order.
std::vector<const Category*> categoriesToSearch(const ConversionCatalog& catalog,
                                                const Category* category) {
    if (category) return {category};
    std::vector<const Category*> all;
    for (int id = 0; id < catalog.categoryCount(); ++id)
        all.push_back(catalog.categoryAt(id));
    return all;
}

// What --convert says when the pair is not there: the unit it lacks, and the labels closest to
// it in the category concerned.
std::string notFoundMessage(const ConversionCatalog& catalog, const ConvertRequest& request,
                            const Category* named) {
    const std::vector<const Category*> categories = categoriesToSearch(catalog, named);
    // The first category that has the From unit, byte for byte or else ignoring case.
    const Category* withFrom = nullptr;
    for (const bool ignoringCase : {false, true}) {
        for (const Category* category : categories) {
            for (const auto& conversion : category->conversions())
                if (sameLabel(conversion.fromUnit(), request.from, ignoringCase)) {
                    withFrom = category;
                    break;
                }
            if (withFrom) break;
        }
        if (withFrom) break;
    }
    const std::string where =
        named ? " in category \"" + display(named->name()) + "\"" : " in " + request.catalogName;
    if (!withFrom) {
        if (catalog.categoryCount() == 0)
            return "the catalog " + request.catalogName + " holds no conversions";
        // The From labels of every category searched; without a category each carries its
        // category's name, so the user sees where the closest ones are.
        std::vector<std::string> labels;
        for (const Category* category : categories)
            for (const auto& conversion : category->conversions())
                addOnce(labels, display(conversion.fromUnit()));
        std::vector<std::string> closest = closestLabels(request.from, labels);
        if (!named) {
            for (std::string& label : closest)
                for (const Category* category : categories)
                    if (std::any_of(category->conversions().begin(), category->conversions().end(),
                                    [&](const auto& conversion) {
                                        return display(conversion.fromUnit()) == label;
                                    })) {
                        label += " (" + display(category->name()) + ")";
                        break;
                    }
        }
        return "no unit \"" + request.from + "\" to convert from" + where + closestClause(closest);
    }
    // The From unit is there, but not the pair: the To labels it converts to, in that category.
    std::vector<std::string> labels;
    for (const bool ignoringCase : {false, true}) {
        for (const auto& conversion : withFrom->conversions())
            if (sameLabel(conversion.fromUnit(), request.from, ignoringCase))
                addOnce(labels, display(conversion.toUnit()));
        if (!labels.empty()) break;
    }
    return "no conversion from \"" + request.from + "\" to \"" + request.to + "\" in category \"" +
           display(withFrom->name()) + "\"" + closestClause(closestLabels(request.to, labels));
}

// A note when the value has characters that are not read, as the window marks its input.
void noteUnreadValue(std::string_view value, std::ostream& err) {
    const ValueReading reading = valueReading(value);
    if (reading.complete) return;
    if (reading.read.empty())
        err << "velmora: no number at the start of \"" << value << "\"; the value is 0\n";
    else
        err << "velmora: only \"" << reading.read << "\" of \"" << value
            << "\" was read as the value\n";
}

} // namespace

const Category* findCategoryByName(const ConversionCatalog& catalog, std::string_view name) {
    if (const Category* category = catalog.findCategory(name)) return category;
    for (int id = 0; id < catalog.categoryCount(); ++id)
        if (const Category* category = catalog.categoryAt(id);
            equalIgnoringCase(display(category->name()), name))
            return category;
    return nullptr;
}

FoundConversion findConversion(const ConversionCatalog& catalog, std::string_view from,
                               std::string_view to, const Category* category) {
    const std::vector<const Category*> categories = categoriesToSearch(catalog, category);
    for (const bool ignoringCase : {false, true})
        for (const Category* candidate : categories)
            for (const auto& conversion : candidate->conversions())
                if (sameLabel(conversion.fromUnit(), from, ignoringCase) &&
                    sameLabel(conversion.toUnit(), to, ignoringCase))
                    return {candidate, &conversion};
    return {};
}

std::vector<std::string> closestLabels(std::string_view text,
                                       const std::vector<std::string>& labels, std::size_t count) {
    const std::vector<std::string> words = searchWords(text);
    const std::string folded = foldCase(text);
    const std::size_t nearMiss = folded.size() <= 4 ? 1 : 2;
    // A short single word may be an abbreviation ("km", "mph").
    const bool mayAbbreviate = words.size() == 1 && words.front().size() <= 4;
    struct Ranked {
        int tier;
        std::size_t measure;
        std::size_t order;
    };
    std::vector<Ranked> ranked;
    for (std::size_t i = 0; i < labels.size(); ++i) {
        const std::vector<std::string> labelWords = searchWords(labels[i]);
        const std::size_t distance =
            std::min(wordsDistance(words, labelWords), editDistance(folded, foldCase(labels[i])));
        // Tiers: the words start the label's words, as Find Conversion matches them; a near
        // miss, a letter or two off; an abbreviation from the label's first word; from a later
        // word; the rest. Among abbreviations the shortest label is likeliest the unit meant.
        Ranked rank{4, distance, i};
        if (!words.empty() && std::all_of(words.begin(), words.end(), [&](const auto& word) {
                return wordMatchesLabel(word, labelWords);
            }))
            rank.tier = 0;
        else if (distance <= nearMiss)
            rank.tier = 1;
        else if (const int start =
                     mayAbbreviate ? abbreviationStart(words.front(), labelWords) : -1;
                 start >= 0)
            rank = {start == 0 ? 2 : 3, labels[i].size(), i};
        ranked.push_back(rank);
    }
    std::stable_sort(ranked.begin(), ranked.end(), [](const Ranked& a, const Ranked& b) {
        return a.tier != b.tier ? a.tier < b.tier : a.measure < b.measure;
    });
    std::vector<std::string> closest;
    for (std::size_t i = 0; i < ranked.size() && i < count; ++i)
        closest.push_back(labels[ranked[i].order]);
    return closest;
}

int runConvert(const ConvertRequest& request, std::ostream& out, std::ostream& err) {
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
    const FoundConversion found = findConversion(catalog, request.from, request.to, named);
    if (!found.conversion) {
        err << "velmora: " << notFoundMessage(catalog, request, named) << "\n";
        return 2;
    }
    noteUnreadValue(request.value, err);
    double result = 0.0;
    const int code = found.conversion->compute(readLeadingNumber(request.value), result);
    if (code != FormulaOk) {
        err << "velmora: the formula \"" << display(found.conversion->formula()) << "\" of "
            << display(found.category->name()) << ": " << display(found.conversion->fromUnit())
            << " \xE2\x86\x92 " << display(found.conversion->toUnit())
            << " cannot be computed: " << formulaCodeMeaning(code) << " (engine code " << code
            << ")\n";
        return 2;
    }
    out << (request.precision ? formatFixed(result, *request.precision) : formatExact(result))
        << "\n";
    return 0;
}
