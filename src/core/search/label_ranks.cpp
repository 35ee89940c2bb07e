#include "search/label_ranks.h"

#include "names/name_index.h"
#include "names/unit_names.h"
#include "search/name_ranks.h"
#include "text/case_fold.h"
#include "text/display_text.h"
#include "text/edit_distance.h"
#include "text/search_text.h"

#include <algorithm>

namespace {

MatchRank better(MatchRank a, MatchRank b) {
    return std::min(a, b);
}
MatchRank worse(MatchRank a, MatchRank b) {
    return std::max(a, b);
}

bool withinTypo(std::string_view typed, std::size_t allowance, std::string_view text) {
    return allowance > 0 && boundedEditDistance(typed, text, allowance) <= allowance;
}

// A bit for each byte value modulo 64 that text holds: letters in order are taken byte by byte.
std::uint64_t byteBits(std::string_view text) {
    std::uint64_t bits = 0;
    for (const char c : text)
        bits |= std::uint64_t{1} << (static_cast<unsigned char>(c) & 63);
    return bits;
}

std::uint32_t initialBit(char c) {
    return c >= 'a' && c <= 'z' ? std::uint32_t{1} << (c - 'a') : 0;
}

} // namespace

int LabelVocabulary::add(std::string_view label, const UnitNames& names) {
    if (const int found = labelIds_.find(label); found >= 0) return found;
    if (distinct_->built) distinct_ = std::make_unique<DistinctWords>();
    const int id = static_cast<int>(labels_.size());
    labelIds_.add(label, id);
    Label entry;
    entry.text = isValidUtf8(label) ? label : converted_.emplace_back(toDisplayText(label));
    entry.foldedStart = static_cast<std::uint32_t>(folded_.size());
    appendFolded(folded_, entry.text);
    entry.foldedSize = static_cast<std::uint32_t>(folded_.size() - entry.foldedStart);
    entry.wordsStart = static_cast<std::uint32_t>(wordRanges_.size());
    // The words of its key, as typed words are compared: "m²" must meet "m2", "°C" "c". Where
    // no character maps to another, the folded text's words are the key's and are not held twice.
    std::size_t wordsFrom = entry.foldedStart;
    const std::string_view foldedText = std::string_view(folded_).substr(entry.foldedStart);
    if (std::any_of(foldedText.begin(), foldedText.end(),
                    [](char c) { return c == '^' || static_cast<unsigned char>(c) >= 0x80; })) {
        wordsFrom = folded_.size();
        folded_ += searchKey(entry.text);
    }
    const char* folded = folded_.data();
    const std::size_t end = folded_.size();
    for (std::size_t at = wordsFrom; at < end;) {
        if (!isSearchWordByte(folded[at])) {
            ++at;
            continue;
        }
        std::size_t stop = at;
        while (stop < end && isSearchWordByte(folded[stop]))
            ++stop;
        entry.initials |= initialBit(folded[at]);
        const std::string_view text(folded + at, stop - at);
        const std::uint64_t characters = characterBits(text);
        entry.characters |= characters;
        entry.bytes |= byteBits(text);
        wordRanges_.push_back(
            {static_cast<std::uint32_t>(at), static_cast<std::uint32_t>(stop - at), characters});
        at = stop;
    }
    entry.wordsCount = static_cast<std::uint32_t>(wordRanges_.size() - entry.wordsStart);
    if (!names_ && !names.empty()) {
        names_ = names.index();
        namesInUse_.assign(static_cast<std::size_t>(names_->labelCount()), 0);
        firstWithNames_.assign(static_cast<std::size_t>(names_->labelCount()), -1);
    }
    if (names_) {
        entry.names = names_->labelId(entry.text);
        if (entry.names >= 0 && !namesInUse_[static_cast<std::size_t>(entry.names)]) {
            namesInUse_[static_cast<std::size_t>(entry.names)] = 1;
            firstWithNames_[static_cast<std::size_t>(entry.names)] = id;
        }
    }
    labels_.push_back(entry);
    return id;
}

void LabelVocabulary::reserve(std::size_t labels) {
    labels_.reserve(labels_.size() + labels);
    wordRanges_.reserve(wordRanges_.size() + 3 * labels);
    folded_.reserve(folded_.size() + 24 * labels);
}

std::string_view LabelVocabulary::folded(int label) const {
    const Label& entry = labels_[static_cast<std::size_t>(label)];
    return std::string_view(folded_).substr(entry.foldedStart, entry.foldedSize);
}

std::string_view LabelVocabulary::word(int label, std::size_t index) const {
    const WordRange range =
        wordRanges_[labels_[static_cast<std::size_t>(label)].wordsStart + index];
    return std::string_view(folded_).substr(range.start, range.size);
}

std::vector<std::string_view> LabelVocabulary::namesOf(int label) const {
    const Label& entry = labels_[static_cast<std::size_t>(label)];
    if (!names_ || entry.names < 0) return {};
    return names_->namesOf(entry.names);
}

MatchRank LabelVocabulary::partRank(Part& typed, const Label& label) const {
    const std::string_view folded = folded_;
    const std::string_view part = typed.text;
    auto wordAt = [&](std::size_t w) {
        const WordRange range = wordRanges_[label.wordsStart + w];
        return folded.substr(range.start, range.size);
    };
    const std::size_t count = label.wordsCount;
    MatchRank best = MatchRank::None;
    for (std::size_t w = 0; w < count && best != MatchRank::Word; ++w) {
        const WordRange& range = wordRanges_[label.wordsStart + w];
        const std::string_view word = folded.substr(range.start, range.size);
        if (word.starts_with(part) && word.size() == part.size()) {
            best = MatchRank::Word;
        } else if (!typed.number && sameWordOtherNumber(part, word)) {
            best = MatchRank::Word;
        } else if (word.starts_with(part)) {
            best = std::min(best, MatchRank::Prefix);
        } else if (best == MatchRank::None && typed.allowance > 0 &&
                   bitCount(typed.characters & ~range.characters) <= typed.allowance) {
            if (word != typed.lastTypoWord) {
                typed.lastTypoWord = word;
                typed.lastTypo = withinTypo(part, typed.allowance, word);
            }
            if (typed.lastTypo) best = MatchRank::Typo;
        }
    }
    if (best <= MatchRank::InOrder || part.size() < 2 || typed.number) return best;
    // Letters in order from the start of a label word, taken in that word while it has them and
    // each further word entered at its first letter: "kmph" for kilometers per hour.
    if ((initialBit(part.front()) != 0 && (label.initials & initialBit(part.front())) == 0) ||
        (typed.bytes & ~label.bytes) != 0)
        return best;
    const std::size_t letters = part.size();
    // Every letter takes a byte of its own, and the words are no longer than the folded text.
    if (letters > label.foldedSize) return best;
    // Room reused from label to label, its cells told apart by a stamp of their label rather than
    // cleared for each: this one's cells are those that hold its stamp.
    if (++typed.stamp == 0) {
        std::fill(typed.next.begin(), typed.next.end(), Part::Cell{});
        std::fill(typed.tried.begin(), typed.tried.end(), 0);
        typed.stamp = 1;
    }
    const std::uint32_t stamp = typed.stamp;
    const std::size_t stride = count + 1;
    if (typed.next.size() < letters * stride) typed.next.resize(letters * stride);
    if (typed.tried.size() < letters * count) typed.tried.resize(letters * count);
    // The first word from from on that starts with letter k of part, count for none; the words
    // passed on the way learn the answer too, so no word is passed twice for the same letter.
    auto nextWord = [&](std::size_t from, std::size_t k) {
        Part::Cell* const row = typed.next.data() + k * stride;
        std::size_t at = from;
        std::size_t found = count;
        for (; at < count; ++at) {
            if (row[at].stamp == stamp) {
                found = row[at].word;
                break;
            }
            if (folded[wordRanges_[label.wordsStart + at].start] == part[k]) {
                found = at;
                break;
            }
        }
        for (std::size_t passed = from; passed < at; ++passed)
            row[passed] = {stamp, static_cast<std::uint32_t>(found)};
        return found;
    };
    // Each try from a word that starts with the first letter goes on the same way from the
    // moment it enters a word with so many letters taken; one that meets such a state already
    // tried fails as that one did. So every word is entered at most once for each letter.
    for (std::size_t first = nextWord(0, 0); first < count; first = nextWord(first + 1, 0)) {
        std::size_t word = first;
        // Letters taken, the entered word's first letter among them.
        std::size_t matched = 1;
        while (matched < letters) {
            std::uint32_t& seen = typed.tried[word * letters + matched];
            if (seen == stamp) break;
            seen = stamp;
            const std::string_view text = wordAt(word);
            for (std::size_t at = 1; matched < letters; ++matched) {
                const std::size_t found = text.find(part[matched], at);
                if (found == std::string_view::npos) break;
                at = found + 1;
            }
            if (matched == letters) break;
            word = nextWord(word + 1, matched);
            if (word == count) break;
            ++matched;
        }
        if (matched == letters) return MatchRank::InOrder;
    }
    return best;
}

void LabelVocabulary::rank(const std::vector<QueryWord>& words,
                           std::vector<MatchRank>& ranks) const {
    const std::size_t count = words.size();
    ranks.assign(labels_.size() * count, MatchRank::None);
    std::vector<MatchRank> nameRanks;
    for (std::size_t w = 0; w < count; ++w) {
        const QueryWord& query = words[w];
        const std::size_t parts = query.parts.size();
        std::vector<Part> typedParts;
        for (const std::string& part : query.parts) {
            // A number is no abbreviation and has no typos: "39" is not "309" nor "38".
            const bool number =
                std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; });
            typedParts.push_back({part,
                                  number ? 0 : typoAllowance(part),
                                  characterBits(part),
                                  byteBits(part),
                                  number,
                                  {},
                                  false,
                                  {},
                                  {},
                                  0});
        }
        if (names_) {
            nameRanks.assign(namesInUse_.size(), MatchRank::None);
            this->nameRanks().rank(words, w, namesInUse_, nameRanks);
        }
        for (std::size_t id = 0; id < labels_.size(); ++id) {
            const Label& label = labels_[id];
            // The best of its names, and of its words, where every part of the typed word
            // must match one.
            MatchRank best = label.names < 0 ? MatchRank::None
                                             : nameRanks[static_cast<std::size_t>(label.names)];
            if (best != MatchRank::Exact) {
                MatchRank split = MatchRank::Exact;
                for (std::size_t part = 0; part < parts && split != MatchRank::None; ++part)
                    split = worse(split, partRank(typedParts[part], label));
                best = better(best, split);
            }
            ranks[id * count + w] = best;
        }
    }
    wholeLabels(words, ranks);
}

void LabelVocabulary::wholeLabels(const std::vector<QueryWord>& words,
                                  std::vector<MatchRank>& ranks) const {
    const std::size_t count = words.size();
    std::size_t parts = 0;
    for (const QueryWord& word : words)
        parts += word.parts.size();
    for (std::size_t id = 0; id < labels_.size(); ++id) {
        const Label& label = labels_[id];
        if (label.wordsCount != parts || parts == 0) continue;
        bool whole = true;
        for (std::size_t w = 0; w < count && whole; ++w)
            whole = ranks[id * count + w] <= MatchRank::Word;
        std::size_t at = 0;
        for (std::size_t w = 0; w < count && whole; ++w)
            for (const std::string& part : words[w].parts)
                whole = whole && word(static_cast<int>(id), at++) == part;
        if (whole)
            for (std::size_t w = 0; w < count; ++w)
                ranks[id * count + w] = MatchRank::Exact;
    }
}

const NameRanks& LabelVocabulary::nameRanks() const {
    std::call_once(nameRanks_->once,
                   [&] { nameRanks_->ranks = std::make_unique<NameRanks>(*names_); });
    return *nameRanks_->ranks;
}

const LabelVocabulary::DistinctWords& LabelVocabulary::distinctWords() const {
    DistinctWords& distinct = *distinct_;
    std::call_once(distinct.once, [&] {
        std::unordered_map<std::string_view, std::uint32_t> ids;
        distinct.ofRange.reserve(wordRanges_.size());
        for (const WordRange& range : wordRanges_) {
            const std::string_view text = std::string_view(folded_).substr(range.start, range.size);
            const auto [found, added] =
                ids.try_emplace(text, static_cast<std::uint32_t>(distinct.words.size()));
            if (added) {
                distinct.words.push_back(text);
                distinct.characters.push_back(range.characters);
            }
            distinct.ofRange.push_back(found->second);
        }
        distinct.built = true;
    });
    return distinct;
}

std::vector<std::string> LabelVocabulary::nearestTexts(std::string_view key,
                                                       std::size_t count) const {
    // Up to half the word away is worth suggesting, three edits at most; longer texts are
    // compared by their start only.
    key = key.substr(0, comparedLength);
    const std::size_t reach = std::clamp<std::size_t>(key.size() / 2, 1, 3);
    struct Near {
        std::size_t distance;
        int kind;
        std::uint64_t order;
        std::string_view text;
    };
    std::vector<Near> found;
    if (names_)
        for (const NameRanks::Near& near : nameRanks().nearest(key, reach, firstWithNames_))
            found.push_back({near.distance, 0, near.order, near.typed});
    // More characters missing than edits within reach: not near, without an edit distance.
    const std::uint64_t keyCharacters = characterBits(key);
    const DistinctWords& distinct = distinctWords();
    std::vector<std::uint8_t> distances(distinct.words.size());
    for (std::size_t d = 0; d < distinct.words.size(); ++d)
        distances[d] = static_cast<std::uint8_t>(
            bitCount(keyCharacters & ~distinct.characters[d]) > reach
                ? reach + 1
                : boundedEditDistance(key, distinct.words[d].substr(0, comparedLength), reach));
    for (std::size_t id = 0; id < labels_.size(); ++id) {
        const Label& label = labels_[id];
        if (bitCount(keyCharacters & ~label.characters) > reach) continue;
        std::size_t nearest = reach + 1;
        for (std::size_t w = 0; w < label.wordsCount; ++w)
            nearest =
                std::min<std::size_t>(nearest, distances[distinct.ofRange[label.wordsStart + w]]);
        if (nearest <= reach) found.push_back({nearest, 1, id, label.text});
    }
    std::sort(found.begin(), found.end(), [](const Near& a, const Near& b) {
        if (a.distance != b.distance) return a.distance < b.distance;
        if (a.kind != b.kind) return a.kind < b.kind;
        return a.order < b.order;
    });
    std::vector<std::string> texts;
    for (const Near& near : found) {
        if (texts.size() == count) break;
        if (std::find(texts.begin(), texts.end(), near.text) == texts.end())
            texts.emplace_back(near.text);
    }
    return texts;
}
