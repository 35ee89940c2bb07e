#include "catalog/label_index.h"

#include <functional>

std::size_t LabelIndex::slotOf(std::string_view text, std::size_t hash) const {
    // Linear probing in a table whose size is a power of two: the slot holding text, or the
    // empty slot where it would go.
    const std::size_t mask = slots_.size() - 1;
    const auto tag = static_cast<std::uint32_t>(hash);
    std::size_t at = hash & mask;
    while (slots_[at].entry != 0 &&
           (slots_[at].hash != tag || entries_[slots_[at].entry - 1].text != text))
        at = (at + 1) & mask;
    return at;
}

int LabelIndex::find(std::string_view text) const {
    if (slots_.empty()) return -1;
    const Slot& slot = slots_[slotOf(text, std::hash<std::string_view>{}(text))];
    return slot.entry == 0 ? -1 : entries_[slot.entry - 1].number;
}

void LabelIndex::add(std::string_view text, int number) {
    // Never more than three quarters full, so every probe ends at an empty slot.
    if (4 * (entries_.size() + 1) > 3 * slots_.size()) grow();
    const std::size_t hash = std::hash<std::string_view>{}(text);
    Slot& slot = slots_[slotOf(text, hash)];
    if (slot.entry != 0) return;
    entries_.push_back({text, number});
    slot = Slot{static_cast<std::uint32_t>(entries_.size()), static_cast<std::uint32_t>(hash)};
}

void LabelIndex::grow() {
    std::vector<Slot> old(slots_.empty() ? 8 : 2 * slots_.size());
    old.swap(slots_);
    const std::size_t mask = slots_.size() - 1;
    // The stored part of the hash is its low half, which is all a table of this size looks at.
    for (const Slot& slot : old) {
        if (slot.entry == 0) continue;
        std::size_t at = slot.hash & mask;
        while (slots_[at].entry != 0)
            at = (at + 1) & mask;
        slots_[at] = slot;
    }
}
