#include "catalog/catalog.h"

Category::Category(int id, std::string name) : name_(std::move(name)), id_(id) {}

const Conversion* Category::conversionAt(int id) const {
    if (id < 0 || id >= conversionCount()) return nullptr;
    return &conversions_[static_cast<std::size_t>(id)];
}

const Conversion& Category::addConversion(std::string_view name, std::string_view fromUnit,
                                          std::string_view toUnit, std::string_view formula) {
    Conversion& conversion = conversions_.emplace_back();
    conversion.id_ = conversionCount() - 1;
    conversion.name_ = name;
    conversion.fromUnit_ = fromUnit;
    conversion.toUnit_ = toUnit;
    conversion.formula_ = formula;
    int group = findFromGroup(fromUnit);
    if (group == -1) {
        group = nextFromGroup_++;
        addFromUnit(fromUnit, group);
    }
    conversion.fromGroup_ = group;
    return conversion;
}

FromUnitEntry Category::fromUnitAt(int index) const {
    const StoredEntry& entry = fromUnits_.at(static_cast<std::size_t>(index));
    return {entry.group, entry.label};
}

int Category::findFromGroup(std::string_view label) const {
    return fromIndex_.find(label);
}

void Category::addFromUnit(std::string_view label, int group) {
    const StoredEntry& entry = fromUnits_.emplace_back(StoredEntry{group, std::string(label)});
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
