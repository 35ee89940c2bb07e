#include "catalog/catalog.h"

#include <cstring>

namespace {

constexpr std::size_t shortest = 255;

} // namespace

std::string_view Conversion::text(int which) const {
    const auto index = static_cast<std::size_t>(which);
    if (long_) {
        std::uint32_t lengths[4];
        std::memcpy(lengths, text_, sizeof lengths);
        const char* at = text_ + sizeof lengths;
        for (std::size_t k = 0; k < index; ++k)
            at += lengths[k];
        return {at, lengths[index]};
    }
    const char* at = text_;
    for (std::size_t k = 0; k < index; ++k)
        at += length_[k] + gap_[k];
    return {at, length_[index]};
}

Category::Category(int id, std::string_view name, TextStore& texts)
    : texts_(&texts), name_(texts.holds(name) ? name : texts.copy(name)), id_(id) {}

const Conversion* Category::conversionAt(int id) const {
    if (id < 0 || id >= conversionCount()) return nullptr;
    return &conversions_[static_cast<std::size_t>(id)];
}

void Category::placeTexts(Conversion& conversion, const std::string_view (&texts)[4]) {
    // Fields of a line read from the file stay where they are: they lie in order, near each
    // other, each shorter than a line.
    const auto start = reinterpret_cast<std::uintptr_t>(texts[0].data());
    const auto end = reinterpret_cast<std::uintptr_t>(texts[3].data()) + texts[3].size();
    bool inPlace = texts[0].data() && end >= start &&
                   texts_->holds(std::string_view(texts[0].data(), end - start));
    for (std::size_t k = 0; inPlace && k < 4; ++k) {
        inPlace = texts[k].size() <= shortest;
        if (k == 3 || !inPlace) continue;
        const auto after = reinterpret_cast<std::uintptr_t>(texts[k].data()) + texts[k].size();
        const auto next = reinterpret_cast<std::uintptr_t>(texts[k + 1].data());
        inPlace = next >= after && next - after <= shortest;
        if (inPlace) conversion.gap_[k] = static_cast<std::uint8_t>(next - after);
    }
    if (inPlace) {
        conversion.text_ = texts[0].data();
        for (std::size_t k = 0; k < 4; ++k)
            conversion.length_[k] = static_cast<std::uint8_t>(texts[k].size());
        return;
    }
    // Any other texts are copied, one after the other.
    std::size_t total = 0;
    bool fits = true;
    for (const std::string_view text : texts) {
        total += text.size();
        fits = fits && text.size() <= shortest;
    }
    std::uint32_t lengths[4];
    for (std::size_t k = 0; k < 4; ++k) {
        lengths[k] = static_cast<std::uint32_t>(texts[k].size());
        conversion.length_[k] = static_cast<std::uint8_t>(texts[k].size());
        if (k < 3) conversion.gap_[k] = 0;
    }
    conversion.long_ = !fits;
    const std::size_t header = fits ? 0 : sizeof lengths;
    if (header + total == 0) return;
    char* at = texts_->allocate(header + total);
    conversion.text_ = at;
    std::memcpy(at, lengths, header);
    at += header;
    for (const std::string_view text : texts) {
        if (!text.empty()) std::memcpy(at, text.data(), text.size());
        at += text.size();
    }
}

const Conversion& Category::addConversion(std::string_view name, std::string_view fromUnit,
                                          std::string_view toUnit, std::string_view formula) {
    Conversion& conversion = conversions_.emplace_back();
    conversion.id_ = conversionCount() - 1;
    placeTexts(conversion, {name, fromUnit, toUnit, formula});
    // The label is looked up where it is now kept.
    const std::string_view label = conversion.fromUnit();
    int group = findFromGroup(label);
    if (group == -1) {
        group = nextFromGroup_++;
        fromUnits_.emplace_back() = {group, conversion.id_};
        fromIndex_.add(label, group);
    }
    conversion.fromGroup_ = group;
    return conversion;
}

std::string_view Category::labelOf(const StoredEntry& entry) const {
    if (entry.label >= 0) return conversions_[static_cast<std::size_t>(entry.label)].fromUnit();
    return ownLabels_[static_cast<std::size_t>(-1 - entry.label)];
}

FromUnitEntry Category::fromUnitAt(int index) const {
    const StoredEntry& entry = fromUnits_[static_cast<std::size_t>(index)];
    return {entry.group, labelOf(entry)};
}

int Category::findFromGroup(std::string_view label) const {
    // The lookup is made again after it was released, from the entries in order.
    if (fromIndex_.empty())
        for (const StoredEntry& entry : fromUnits_)
            fromIndex_.add(labelOf(entry), entry.group);
    return fromIndex_.find(label);
}

void Category::addFromUnit(std::string_view label, int group) {
    ownLabels_.push_back(texts_->copy(label));
    findFromGroup(label); // the lookup holds every earlier entry before this one joins it
    fromUnits_.emplace_back() = {group, -static_cast<int>(ownLabels_.size())};
    // An existing key is kept: the first entry of a label wins, as a walk from the front finds.
    fromIndex_.add(ownLabels_.back(), group);
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
        *categories_.emplace_back(std::make_unique<Category>(categoryCount(), name, texts()));
    nameIndex_.add(category.name(), category.id());
    return category;
}

TextStore& ConversionCatalog::texts() {
    if (!texts_) texts_ = std::make_unique<TextStore>();
    return *texts_;
}
