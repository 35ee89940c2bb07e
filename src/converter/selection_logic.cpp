#include "converter/selection_logic.h"

#include "catalog/catalog.h"
#include "formula/evaluate_formula.h"
#include "formula/number_text.h"
#include "query/query_reader.h"
#include "text/text_scan.h"
#include "value/result_text.h"

#include <algorithm>
#include <unordered_set>

std::vector<Category*> visibleCategories(const ConversionCatalog& catalog) {
    std::vector<Category*> categories;
    for (int id = 0; id < catalog.categoryCount(); ++id)
        if (Category* category = catalog.categoryAt(id); category->visible() != 0)
            categories.push_back(category);
    return categories;
}

std::vector<FromListEntry> fromListEntries(const Category& category) {
    std::vector<FromListEntry> entries;
    // A group is listed at its first conversion, found in one pass: loading numbers the groups
    // from 0, and any other number is looked up in a set.
    std::vector<bool> listed(static_cast<std::size_t>(std::max(0, category.nextFromGroup())));
    std::unordered_set<int> listedOther;
    for (const auto& conversion : category.conversions()) {
        const int group = conversion.fromGroup();
        const bool numbered = group >= 0 && group < static_cast<int>(listed.size());
        if (numbered ? listed[static_cast<std::size_t>(group)] : !listedOther.insert(group).second)
            continue;
        if (numbered) listed[static_cast<std::size_t>(group)] = true;
        entries.push_back({std::string(conversion.fromUnit()), group});
    }
    return entries;
}

std::vector<const Conversion*> toListEntries(const Category& category, int group) {
    std::vector<const Conversion*> entries;
    for (const auto& conversion : category.conversions())
        if (conversion.fromGroup() == group) entries.push_back(&conversion);
    return entries;
}

const Conversion* reverseConversion(const Category& category, const Conversion& conversion) {
    for (const auto& candidate : category.conversions())
        if (candidate.fromUnit() == conversion.toUnit() &&
            candidate.toUnit() == conversion.fromUnit())
            return &candidate;
    return nullptr;
}

ResultTexts computeResultTexts(const Conversion& conversion, std::string_view inputText,
                               int precision, const InputContext& context) {
    ResultTexts texts;
    if (trimmed(inputText).empty()) return texts;
    const Result<AmountRead> input = [&]() -> Result<AmountRead> {
        if (context.category && context.reader)
            return context.reader->amount(inputText, *context.category, conversion.fromUnit());
        const Result<double> read = readValue(inputText, context.format);
        if (!read) return Failure{read.why()};
        return AmountRead{*read, {}};
    }();
    if (!input) {
        texts.note = input.why();
        return texts;
    }
    texts.readAs = input->readAs;
    // A formula the engine cannot compute gives no number: its 0 would read as a result.
    double value = 0.0;
    if (const int code = conversion.compute(input->value, value); code != FormulaOk) {
        texts.note = "The formula of this conversion cannot be computed: " +
                     std::string(formulaCodeMeaning(code)) + ".";
        return texts;
    }
    // No infinity, NaN or number short of its digits is shown, nor copied as exact.
    if (const ResultRange range = resultRange(conversion, input->value, value);
        range != ResultRange::Within) {
        texts.note = resultRangeNote(range);
        return texts;
    }
    texts.shown = styledResultText(value, precision, context.style);
    texts.exact = formatExact(value);
    if (context.category)
        texts.twoPart = twoPartText(value, *context.category, conversion.toUnit(), precision);
    return texts;
}

std::string unreadInputNote(std::string_view inputText, NumberFormat format) {
    if (trimmed(inputText).empty()) return {};
    return readWholeQuantity(inputText, format).why();
}

std::string inputDescription(std::string_view resultWithUnit, std::string_view note) {
    std::string text = resultWithUnit.empty() ? "" : "Result: " + std::string(resultWithUnit);
    if (!note.empty()) text += (text.empty() ? "" : ". ") + std::string(note);
    return text;
}
