#pragma once

#include "search/match_rank.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

class NameIndex;
struct QueryWord;

// How well typed words match the names of names.txt, for Find's ranking of look-alikes: over the
// keys of a NameIndex, the lists that find starts of names, words of names of several and typos
// without comparing every key. Made when a search first needs them, as reading a names.txt for
// exact names (names/unit_vocabulary.h) does not.
class NameRanks {
  public:
    // names must outlive the ranks and stay built.
    explicit NameRanks(const NameIndex& names);

    // For word w of words (one side of a query, in order: neighbours may make one name
    // together), how well each label that inUse holds matches it by its names: ranks[label]
    // becomes the better of what it holds and that.
    void rank(const std::vector<QueryWord>& words, std::size_t w, const std::vector<char>& inUse,
              std::vector<MatchRank>& ranks) const;

    struct Near {
        std::size_t distance;
        // Which comes first among equals: the place of the name's label in firstOf, then the
        // name's place in the file.
        std::uint64_t order;
        std::string_view typed;
    };
    // The names whose key starts (comparedLength) within reach edits of key, one for each key,
    // of labels that firstOf gives a place (-1 for none).
    std::vector<Near> nearest(std::string_view key, std::size_t reach,
                              const std::vector<int>& firstOf) const;

  private:
    const NameIndex& names_;
    // Keys of up to comparedLength bytes by their number of characters, the rest apart: a typo
    // or a near text is looked for only among keys of about the right length.
    std::vector<std::uint32_t> lengthFirst_;
    std::vector<std::uint32_t> byLength_;
    // The characterBits of each of byLength_.
    std::vector<std::uint64_t> lengthBits_;
    std::vector<std::uint32_t> longKeys_;
    // The parts after the first of keys of several ("oz" of "fl-oz"), by a hash of their text.
    std::vector<std::uint32_t> partFirst_;
    std::vector<std::uint32_t> byPart_;
};
