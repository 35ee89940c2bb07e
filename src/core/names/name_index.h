#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

// The names of names.txt: every text in two shared arrays and a few numbers a name, their keys
// (searchKey) sorted once, so that a typed word costs the names it matches, not all of them. A
// file of a million names is read in a fraction of a second and held in about twice its own
// bytes and 40 more a name. Find's ranking of look-alikes reads the same arrays
// (search/name_ranks.h).
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

    // The names whose key is key exactly, each with the number of its label (labelId).
    struct Named {
        int label;
        std::string_view typed;
    };
    std::vector<Named> named(std::string_view key) const;

    // The distinct keys, sorted: the first not before text, and each key's text and names.
    struct Name {
        std::uint32_t label;
        // Its place among all names given.
        std::uint32_t order;
        std::string_view typed;
    };
    std::uint32_t keyCount() const { return static_cast<std::uint32_t>(keys_.size()); }
    std::uint32_t lowerBound(std::string_view text) const;
    std::string_view keyText(std::uint32_t key) const {
        return std::string_view(keyTexts_).substr(keys_[key].text, keys_[key].size);
    }
    // The number of characters of the key, which its bytes may outnumber.
    std::uint32_t keyCharacters(std::uint32_t key) const { return keys_[key].characters; }
    // The names of key, one each for visit(const Name&).
    template <typename Visit> void forEachName(std::uint32_t key, Visit visit) const {
        const auto [first, last] = entriesOf(key);
        for (std::uint32_t e = first; e < last; ++e)
            visit(Name{entries_[e].label, entries_[e].order, typedText(entries_[e])});
    }

  private:
    struct Entry {
        std::uint32_t label;
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
    std::string_view typedText(const Entry& entry) const {
        return std::string_view(typedTexts_).substr(entry.typed, entry.typedSize);
    }
    std::pair<std::uint32_t, std::uint32_t> entriesOf(std::uint32_t key) const {
        const std::uint32_t last = key + 1 < keys_.size()
                                       ? keys_[key + 1].first
                                       : static_cast<std::uint32_t>(entries_.size());
        return {keys_[key].first, last};
    }
    // The steps of build(): the entries sorted by key (the place of each name given among them),
    // the distinct keys, and the list by label.
    std::vector<std::uint32_t> sortEntries();
    void collectKeys();
    void indexLabels(const std::vector<std::uint32_t>& placeOf);
    // keyOf_ again, for names added after a build.
    void restoreKeys();

    bool built_ = false;
    std::string typedTexts_;
    std::string keyTexts_;
    std::vector<Entry> entries_;
    // Between add() and build(), the key of each name by its place among all given: start and
    // size in keyTexts_.
    std::vector<std::pair<std::uint32_t, std::uint32_t>> keyOf_;
    std::vector<Key> keys_;
    // By label, in the order given: places in entries_.
    std::unordered_map<std::string, std::uint32_t> labelIds_;
    std::vector<std::string> labelTexts_;
    std::string lastLabel_;
    std::uint32_t lastLabelId_ = 0;
    std::vector<std::uint32_t> labelFirst_{0};
    std::vector<std::uint32_t> byLabel_;
};
