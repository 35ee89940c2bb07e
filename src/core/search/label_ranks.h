#pragma once

#include "catalog/label_index.h"
#include "search/match_rank.h"
#include "search/name_ranks.h"
#include "search/search_query.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class NameIndex;
class UnitNames;

// The unit labels of a catalog with their words and names, ranked against typed words. Each
// distinct label and name is held once, the texts of all in a few shared arrays, so that many
// labels cost few allocations and a query one pass over them.
class LabelVocabulary {
  public:
    // The number of label, a catalog text, added with its names the first time it is seen;
    // numbers count up from 0 in the order labels are first added. The text is not copied: it
    // must stay in place as long as the vocabulary is used, as the catalog's texts do. The names
    // are those of the first names given that hold any, shared with them.
    int add(std::string_view label, const UnitNames& names);
    int size() const { return static_cast<int>(labels_.size()); }
    // Room for this many labels more, of the usual length.
    void reserve(std::size_t labels);
    // The label's display text, and that with its letter case folded away.
    std::string_view text(int label) const { return labels_[static_cast<std::size_t>(label)].text; }
    std::string_view folded(int label) const;
    // The words of the label: searchWords of its key (searchKey), so "m²" gives m2, "°C" c.
    std::size_t wordCount(int label) const {
        return labels_[static_cast<std::size_t>(label)].wordsCount;
    }
    std::string_view word(int label, std::size_t index) const;
    // The names of the label as given, in order.
    std::vector<std::string_view> namesOf(int label) const;

    // Up to count names and labels whose key (searchKey) is a few edits from key (up to half its
    // length, three at most), nearest first, names before labels at the same distance, then in
    // the order they were added; one name of those with the same key.
    std::vector<std::string> nearestTexts(std::string_view key, std::size_t count) const;

    // For every label and every word of words: ranks[label * words.size() + w]. The words are
    // one side of a query, in order: neighbours may make one name together.
    void rank(const std::vector<QueryWord>& words, std::vector<MatchRank>& ranks) const;

  private:
    // A label's texts and lists are ranges of the shared arrays below, so that a catalog of many
    // labels costs few allocations.
    struct Label {
        // The catalog's bytes when they are UTF-8, else their conversion in converted_.
        std::string_view text;
        std::uint32_t foldedStart = 0;
        std::uint32_t foldedSize = 0;
        // Into wordRanges_.
        std::uint32_t wordsStart = 0;
        std::uint32_t wordsCount = 0;
        // Its place among the labels of names_, -1 for none.
        std::int32_t names = -1;
        // A bit for each small ASCII letter that starts one of its words.
        std::uint32_t initials = 0;
        // The characters of its words (characterBits), and their bytes (byteBits).
        std::uint64_t characters = 0;
        std::uint64_t bytes = 0;
    };
    // A word of a label: a range of folded_.
    struct WordRange {
        std::uint32_t start = 0;
        std::uint32_t size = 0;
        std::uint64_t characters = 0;
    };
    // What rank() knows of one part of a typed word before it meets the labels.
    struct Part {
        std::string_view text;
        std::size_t allowance;
        std::uint64_t characters;
        std::uint64_t bytes;
        // Digits only: matched as a whole word or a prefix only.
        bool number;
        // The word last compared for a typo and the outcome: labels in a row often share words.
        std::string_view lastTypoWord = {};
        bool lastTypo = false;
        // Room the letters-in-order check reuses from label to label: the next word that starts
        // with a letter, and the states tried, each valid for the label of its stamp.
        struct Cell {
            std::uint32_t stamp = 0;
            std::uint32_t word = 0;
        };
        std::vector<Cell> next = {};
        std::vector<std::uint32_t> tried = {};
        std::uint32_t stamp = 0;
    };
    // The distinct words of all labels, built on first use (only a query that matches nothing
    // needs them), so that a word many labels share is compared once.
    struct DistinctWords {
        std::once_flag once;
        bool built = false;
        std::vector<std::string_view> words;
        std::vector<std::uint64_t> characters;
        // For each of wordRanges_, its place in words.
        std::vector<std::uint32_t> ofRange;
    };
    const DistinctWords& distinctWords() const;
    // Ranks Exact every word of a query that spells a label, word for word, in order.
    void wholeLabels(const std::vector<QueryWord>& words, std::vector<MatchRank>& ranks) const;
    MatchRank partRank(Part& part, const Label& label) const;

    std::vector<Label> labels_;
    LabelIndex labelIds_;
    std::string folded_;
    std::vector<WordRange> wordRanges_;
    // A deque keeps its elements in place, so views of them stay valid.
    std::deque<std::string> converted_;
    // The names of the first UnitNames given that has any, shared with it.
    std::shared_ptr<const NameIndex> names_;
    // The ranks of names_' names, made at the first question (once, also when several threads ask).
    struct LazyRanks {
        std::once_flag once;
        std::unique_ptr<NameRanks> ranks;
    };
    const NameRanks& nameRanks() const;
    mutable std::unique_ptr<LazyRanks> nameRanks_ = std::make_unique<LazyRanks>();
    // For each label of names_, whether one of these labels is it, and the first that is.
    std::vector<char> namesInUse_;
    std::vector<int> firstWithNames_;
    // Made anew by add(); built once, also when several threads ask at the same time.
    mutable std::unique_ptr<DistinctWords> distinct_ = std::make_unique<DistinctWords>();
};
