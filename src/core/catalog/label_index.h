#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

// Texts to numbers, for the catalog's lookups by name and by source label: open addressing over
// two dense arrays, so a load of many lines allocates next to nothing per line. The texts are
// not copied: each must stay in place as long as the index is used.
class LabelIndex {
  public:
    // The number of the first text added that equals text byte for byte, or -1.
    int find(std::string_view text) const;
    // Adds text with its number, unless an equal text is there already: the first one stays.
    void add(std::string_view text, int number);
    bool empty() const { return entries_.empty(); }

  private:
    struct Entry {
        std::string_view text;
        int number = 0;
    };
    // 0 for an empty slot, else 1 + the entry's position; with a part of the text's hash, so
    // that most texts that differ are told apart without comparing them.
    struct Slot {
        std::uint32_t entry = 0;
        std::uint32_t hash = 0;
    };
    std::size_t slotOf(std::string_view text, std::size_t hash) const;
    void grow();

    std::vector<Entry> entries_;
    std::vector<Slot> slots_;
};
