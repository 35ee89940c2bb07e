#include "catalog/catalog.h"

Category::Category(int id, std::string name) : name_(std::move(name)), id_(id) {}

Conversion* Category::conversionAt(int id) const {
    for (const auto& conversion : conversions_)
        if (conversion->id == id) return conversion.get();
    return nullptr;
}

Conversion& Category::addConversion(std::string_view name, std::string_view fromUnit,
                                    std::string_view toUnit, std::string_view formula) {
    auto conversion = std::make_unique<Conversion>();
    conversion->id = conversionCount();
    conversion->name = name;
    conversion->fromUnit = fromUnit;
    conversion->toUnit = toUnit;
    conversion->formula = formula;
    int group = findFromGroup(fromUnit);
    if (group == -1) {
        group = nextFromGroup_++;
        addFromUnit(fromUnit, group);
    }
    conversion->fromGroup = group;
    conversions_.push_back(std::move(conversion));
    return *conversions_.back();
}

int Category::findFromGroup(std::string_view label) const {
    for (const auto& entry : fromUnits_)
        if (entry.label == label) return entry.group;
    return -1;
}

void Category::addFromUnit(std::string_view label, int group) {
    fromUnits_.push_back(FromUnitEntry{group, std::string(label)});
}

Category* ConversionCatalog::categoryAt(int id) const {
    for (const auto& category : categories_)
        if (category->id() == id) return category.get();
    return nullptr;
}

Category* ConversionCatalog::findCategory(std::string_view name) const {
    for (const auto& category : categories_)
        if (category->name() == name) return category.get();
    return nullptr;
}

Category& ConversionCatalog::addCategory(std::string_view name) {
    categories_.push_back(std::make_unique<Category>(categoryCount(), std::string(name)));
    return *categories_.back();
}
