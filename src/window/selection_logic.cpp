#include "window/selection_logic.h"

#include "catalog/catalog.h"
#include "catalog/text_scan.h"
#include "formula/number_text.h"

#include <algorithm>

Category* visibleCategoryAt(const ConversionCatalog& catalog, int tab) {
    if (tab < 0) return nullptr;
    for (int id = 0; id < catalog.categoryCount(); ++id) {
        Category* category = catalog.categoryAt(id);
        if (category->visible() != 0 && tab-- == 0) return category;
    }
    return nullptr;
}

std::vector<std::string> visibleCategoryNames(const ConversionCatalog& catalog) {
    std::vector<std::string> names;
    for (int id = 0; id < catalog.categoryCount(); ++id)
        if (const Category* category = catalog.categoryAt(id); category->visible() != 0)
            names.push_back(category->name());
    return names;
}

std::vector<FromListEntry> fromListEntries(const Category& category) {
    std::vector<FromListEntry> entries;
    for (const auto& conversion : category.conversions()) {
        const bool listed = std::any_of(entries.begin(), entries.end(), [&](const auto& entry) {
            return entry.group == conversion->fromGroup;
        });
        if (!listed) entries.push_back({conversion->fromUnit, conversion->fromGroup});
    }
    return entries;
}

std::vector<Conversion*> toListEntries(const Category& category, int group) {
    std::vector<Conversion*> entries;
    for (const auto& conversion : category.conversions())
        if (conversion->fromGroup == group) entries.push_back(conversion.get());
    return entries;
}

double computeResult(const Conversion& conversion, std::string_view inputText) {
    return conversion.evaluate(readLeadingNumber(inputText));
}

std::string computeResultText(const Conversion& conversion, std::string_view inputText,
                              int precision) {
    return formatFixed(computeResult(conversion, inputText), precision);
}

std::string unreadInputNote(std::string_view inputText) {
    const std::size_t read = leadingNumberLength(inputText);
    if (trimmed(inputText.substr(read)).empty()) return {};
    const std::string_view taken = trimmed(inputText.substr(0, read));
    if (taken.empty()) return "No number was read, so the value is 0.";
    return "Only \"" + std::string(taken) + "\" was read as the value.";
}
