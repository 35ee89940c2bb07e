#include "cli/convert_command.h"

#include "catalog/catalog.h"
#include "cli/catalog_check.h"
#include "formula/evaluate_formula.h"
#include "formula/number_text.h"
#include "search/closest_labels.h"
#include "search/conversion_search.h"
#include "search/label_ranks.h"
#include "search/quantity_value.h"
#include "search/search_text.h"
#include "search/unit_names.h"
#include "text/case_fold.h"
#include "text/display_text.h"
#include "text/query_grammar.h"
#include "text/text_scan.h"
#include "value/result_text.h"
#include "value/value_reader.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <locale>
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

// The decimal separator of the user's locale, for "1,5"; a point where the locale is unknown.
char localeDecimalSeparator() {
    try {
        return std::use_facet<std::numpunct<char>>(std::locale("")).decimal_point() == ',' ? ','
                                                                                           : '.';
    } catch (const std::exception&) {
        return '.';
    }
}

// A sentence of the reader as a clause of a message: "The value is…." gives "the value is…".
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

std::optional<std::string> splitRequest(const ConvertRequest& request, char separator,
                                        TypedRequest& typed) {
    if (!request.from.empty() || (request.to.empty() && request.value.empty())) {
        typed = {request.value, request.from, request.to};
        return std::nullopt;
    }
    const std::string_view text = request.value;
    const Result<QuantityRead> read = readQuantity(text, separator);
    if (!read) return "the value \"" + request.value + "\" cannot be read: " + clause(read.why());
    const std::string_view rest = trimmed(text.substr(read->end));
    if (request.to.empty()) {
        // One query: a separator, then the To unit.
        const std::optional<std::string_view> to = afterSeparator(rest);
        if (!to || to->empty())
            return "write the query as a value, its unit, \"to\" and a unit: \"5 mi to km\"";
        typed.to = std::string(*to);
    } else {
        if (!rest.empty())
            return "the value \"" + request.value + "\" cannot be read from \"" +
                   std::string(rest) + "\" on";
        typed.to = request.to;
    }
    typed.from = read->parts.front().unit;
    if (typed.from.empty())
        return "no unit to convert from in \"" + request.value + "\": write it after the value";
    typed.value = read->parts.size() == 1 ? read->parts.front().number : read->text;
    return std::nullopt;
}

// Why the value cannot be converted, or nothing: it must be read as a whole, within the range
// of numbers.
std::optional<std::string> valueFailure(std::string_view value, char separator) {
    const Result<double> read = readValue(value, separator);
    if (read) return std::nullopt;
    const std::string quoted = "the value \"" + std::string(value) + "\"";
    if (leadingNumberLength(value) == 0 && !readQuantity(value, separator) &&
        trimmed(value).find_first_of("0123456789") == std::string_view::npos)
        return quoted + " is not a number";
    if (read.why().starts_with("The value is ")) return quoted + clause(read.why().substr(9));
    return quoted + " is not a number as a whole: " + clause(read.why());
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
    for (std::size_t label = 0; label < labels.size(); ++label) {
        const int id = vocabulary.add(labels[label], names);
        MatchRank rank = MatchRank::Exact;
        for (std::size_t w = 0; w < words.size(); ++w)
            rank = std::max(rank, ranks[static_cast<std::size_t>(id) * words.size() + w]);
        side.ranks.push_back(rank);
        std::size_t fewest = SIZE_MAX;
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

// The conversion Find lists first for from → to, of those that match each side best. Where
// several units of a side still match it equally well, nothing decides: a script must not get
// a guess, so the answer is the list of them (why).
FoundConversion pickConversion(const ConversionSearch& search, const UnitNames& names,
                               std::string_view from, std::string_view to, std::string& why) {
    const SearchQuery query = unitPairQuery(from, to);
    if (query.fromWords.empty() || query.toWords.empty()) return {};
    const SearchResult result = search.find(query);
    if (result.matches.empty()) return {};
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
            search.find(side == 0 ? unitPairQuery(from, {}) : unitPairQuery({}, to), 1);
        const MatchRank allowed =
            std::max(MatchRank::Prefix,
                     alone.matches.empty() ? MatchRank::None : alone.matches.front().rank);
        std::vector<std::string_view> labels;
        for (const ConversionMatch* match : candidates)
            labels.push_back(unitOf(side, match));
        const SideRanks sideMatch = sideRanks(labels, *sides[side].second, names);
        std::vector<const ConversionMatch*> kept;
        for (std::size_t i = 0; i < candidates.size(); ++i)
            if (sideMatch.ranks[i] <= allowed) kept.push_back(candidates[i]);
        candidates = kept;
    }
    if (candidates.empty()) return {};
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
        const SideRanks ranks = sideRanks(labels, *sides[side].second, names);
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
            tied.add(display(unitOf(side, match)));
        if (tied.labels.size() < 2) continue;
        why = "\"" + std::string(sides[side].first) + "\" could be: ";
        for (std::size_t i = 0; i < tied.labels.size(); ++i)
            why += (i ? ", " : "") + tied.labels[i];
        why += "; write one of them";
        return {};
    }
    return {candidates.front()->category, candidates.front()->conversion};
}

// The sizes, in unit, of the units named by words after the first ("ft in": inches in feet),
// when each word names exactly one unit of category that converts to unit; none otherwise.
std::vector<double> splitSizes(const std::vector<std::string>& words, const Category& category,
                               std::string_view unit, const UnitNames& names) {
    std::vector<double> sizes{1.0};
    for (std::size_t i = 1; i < words.size(); ++i) {
        QuantityRead one;
        one.parts.push_back({1.0, "1", words[i]});
        const Result<QuantityValue> size = quantityValue(one, category, unit, names);
        if (!size || !size->exact || !(size->value < sizes.back()) || !(size->value > 0)) return {};
        sizes.push_back(size->value);
    }
    return sizes;
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
    const char separator = localeDecimalSeparator();
    TypedRequest typed;
    if (auto failure = splitRequest(request, separator, typed)) {
        err << "velmora: " << *failure << "\n";
        return 2;
    }
    // Apart from its units, the value is a number; with them, it is read in the From unit.
    if (const auto failure =
            request.from.empty() ? std::nullopt : valueFailure(typed.value, separator)) {
        err << "velmora: " << *failure << "\n";
        return 2;
    }
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
    // Hidden categories included, as the labels are looked for in them too.
    std::optional<ConversionSearch> search;
    const auto searchOnce = [&]() -> const ConversionSearch& {
        if (!search) search.emplace(catalog, names, SearchScope{true, named});
        return *search;
    };
    // A To side of several words may name units to split the result into ("ft in"): its first
    // word the unit converted to, each further word exactly one smaller unit of that category.
    std::vector<std::string> toWords;
    for (const QueryWord& word : unitPairQuery({}, typed.to).toWords)
        toWords.push_back(word.typed);
    FoundConversion found;
    std::vector<double> sizes;
    if (toWords.size() > 1 && !findConversion(catalog, typed.from, typed.to, named).conversion) {
        std::string tie;
        found = findConversion(catalog, typed.from, toWords.front(), named);
        if (!found.conversion)
            found = pickConversion(searchOnce(), names, typed.from, toWords.front(), tie);
        if (found.conversion)
            sizes = splitSizes(toWords, *found.category, found.conversion->toUnit(), names);
        if (sizes.empty())
            found = {};
        else if (tie.empty() &&
                 !findConversion(catalog, typed.from, toWords.front(), named).conversion)
            err << "velmora: " << typed.value << " " << describe(found) << "\n";
    }
    if (!found.conversion) found = findConversion(catalog, typed.from, typed.to, named);
    if (!found.conversion) {
        std::string tie;
        found = pickConversion(searchOnce(), names, typed.from, typed.to, tie);
        if (!tie.empty()) {
            err << "velmora: " << tie << "\n";
            return 2;
        }
        if (found.conversion && missesATypedLabel(categoriesToSearch(catalog, named), typed.from,
                                                  typed.to, *found.conversion))
            found = {};
        // Not the labels typed: a script can see which were used.
        if (found.conversion) err << "velmora: " << typed.value << " " << describe(found) << "\n";
    }
    if (!found.conversion) {
        ConvertRequest asTyped = request;
        asTyped.value = typed.value;
        asTyped.from = typed.from;
        asTyped.to = typed.to;
        err << "velmora: " << notFoundMessage(catalog, names, searchOnce(), asTyped, named) << "\n";
        return 2;
    }
    const Result<QuantityValue> value =
        readValueIn(typed.value, separator, *found.category, found.conversion->fromUnit(), names);
    if (!value) {
        err << "velmora: the value \"" << typed.value << "\" cannot be read in "
            << display(found.conversion->fromUnit()) << ": " << clause(value.why()) << "\n";
        return 2;
    }
    double result = 0.0;
    const int code = found.conversion->compute(value->value, result);
    if (code != FormulaOk) {
        err << "velmora: the formula \"" << display(found.conversion->formula()) << "\" of "
            << display(found.category->name()) << ": " << describe(found)
            << " cannot be computed: " << formulaCodeMeaning(code) << " (engine code " << code
            << ")\n";
        return 2;
    }
    if (!std::isfinite(result)) {
        err << "velmora: " << typed.value << " " << display(found.conversion->fromUnit()) << " in "
            << display(found.conversion->toUnit()) << " is "
            << (std::isnan(result) ? "no number: the formula \""
                                   : "too large to print: the formula \"")
            << display(found.conversion->formula()) << "\" "
            << (std::isnan(result) ? "is undefined there"
                                   : "goes beyond about 1.8e308 or divides by zero")
            << "\n";
        return 2;
    }
    if (!sizes.empty()) {
        const std::vector<std::string> parts =
            splitTexts(result, sizes, request.precision ? *request.precision : -1);
        for (std::size_t i = 0; i < parts.size(); ++i)
            out << (i ? " " : "") << parts[i] << " " << toWords[i];
        out << "\n";
        return 0;
    }
    out << (request.precision ? resultText(result, *request.precision) : formatExact(result))
        << "\n";
    return 0;
}
