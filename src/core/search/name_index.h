#pragma once

#include "search/label_ranks.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct QueryWord;

// The names of names.txt held for the search: every text in two shared arrays and a few numbers
// a name, their keys (searchKey) sorted once, so that a typed word costs the names it matches,
// not all of them. A file of a million names is read in a fraction of a second and held in about
// twice its own bytes and 55 more a name.
class NameIndex {
  public:
    // Gives label, a display text, one more name, whose key is key. Call build() after the last.
    void add(std::string_view label, std::string_view name, std::string_view key);
    // Room for names of this many bytes in all, and their keys.
    void reserve(std::size_t bytes) {
        typedTexts_.reserve(typedTexts_.size() + bytes);
        keyTexts_.reserve(keyTexts_.size() + bytes);
    }
    // Sorts what add() gave, unless that is done.
    void build();
    bool empty() const { return entries_.empty(); }
    std::size_t size() const { return entries_.size(); }

    // The number of label among the labels that have names, letter case aside; -1 for none.
    int labelId(std::string_view label) const;
    int labelCount() const { return static_cast<int>(labelFirst_.size()) - 1; }
    // The label of a number as first given.
    std::string_view labelText(int label) const {
        return labelTexts_[static_cast<std::size_t>(label)];
    }
    // The names of a label, in the order given.
    std::vector<std::string_view> namesOf(int label) const;

    // For word w of words (one side of a query, in order: neighbours may make one name
    // together), how well each label that inUse holds matches it by its names: ranks[label]
    // becomes the better of what it holds and that.
    void rank(const std::vector<QueryWord>& words, std::size_t w, const std::vector<char>& inUse,
              std::vector<MatchRank>& ranks) const;

    // Whether some name is text as written, letter case included.
    bool hasName(std::string_view text) const;
    // The names whose key is key exactly, each with the number of its label (labelId).
    struct Named {
        int label;
        std::string_view typed;
    };
    std::vector<Named> named(std::string_view key) const;
    // Whether key (searchKey) is one whole part of a name of several ("fl" of "fl oz").
    bool isPartOfName(std::string_view key) const;

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
    struct Entry {
        std::uint32_t label;
        // Its place among all names given.
        std::uint32_t order;
        std::uint32_t typed;
        std::uint32_t typedSize;
    };
    struct Key {
        std::uint32_t text;
        std::uint32_t size;
        // Its names: entries_[first] up to the next key's first.
        std::uint32_t first;
        std::uint32_t characters;
    };
    std::string_view keyText(std::uint32_t key) const {
        return std::string_view(keyTexts_).substr(keys_[key].text, keys_[key].size);
    }
    std::string_view typedText(const Entry& entry) const {
        return std::string_view(typedTexts_).substr(entry.typed, entry.typedSize);
    }
    // The steps of build(): the entries sorted by key (the place of each name given among them),
    // the distinct keys, and the lists by label, by key length and by the later parts of keys.
    std::vector<std::uint32_t> sortEntries();
    void collectKeys();
    void indexLabels(const std::vector<std::uint32_t>& placeOf);
    void indexLengths();
    void indexParts();
    // keyOf_ again, for names added after a build.
    void restoreKeys();
    // The first key not before text.
    std::uint32_t lowerBound(std::string_view text) const;

    bool built_ = false;
    std::string typedTexts_;
    std::string keyTexts_;
    std::vector<Entry> entries_;
    // Between add() and build(), the key of each name by its place among all given: start and
    // size in keyTexts_.
    std::vector<std::pair<std::uint32_t, std::uint32_t>> keyOf_;
    std::vector<Key> keys_;
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
    // By label, in the order given: places in entries_.
    std::unordered_map<std::string, std::uint32_t> labelIds_;
    std::vector<std::string> labelTexts_;
    std::string lastLabel_;
    std::uint32_t lastLabelId_ = 0;
    std::vector<std::uint32_t> labelFirst_{0};
    std::vector<std::uint32_t> byLabel_;
};
