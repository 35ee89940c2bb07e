#include "catalog/catalog.h"

Category::Category(int id, std::string name) : name_(std::move(name)), id_(id) {}

Conversion* Category::conversionAt(int id) const {
    if (id < 0 || id >= conversionCount()) return nullptr;
    return conversions_[static_cast<std::size_t>(id)].get();
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
    return fromIndex_.find(label);
}

void Category::addFromUnit(std::string_view label, int group) {
    const FromUnitEntry& entry = fromUnits_.emplace_back(FromUnitEntry{group, std::string(label)});
    // An existing key is kept: the first entry of a label wins, as a walk from the front finds.
    fromIndex_.add(entry.label, group);
}

Category* ConversionCatalog::categoryAt(int id) const {
    if (id < 0 || id >= categoryCount()) return nullptr;
    return categories_[static_cast<std::size_t>(id)].get();
}

Category* ConversionCatalog::findCategory(std::string_view name) const {
    // The last category found is the first of its name, as every one the index gives is.
    if (lastFound_ && lastFound_->name() == name) return lastFound_;
    const int id = nameIndex_.find(name);
    if (id == -1) return nullptr;
    lastFound_ = categoryAt(id);
    return lastFound_;
}

Category& ConversionCatalog::addCategory(std::string_view name) {
    Category& category =
        *categories_.emplace_back(std::make_unique<Category>(categoryCount(), std::string(name)));
    nameIndex_.add(category.name(), category.id());
    return category;
}
