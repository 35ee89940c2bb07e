#include "search/name_index.h"

#include "search/edit_distance.h"
#include "search/search_query.h"
#include "search/search_text.h"
#include "text/case_fold.h"

#include <algorithm>
#include <optional>

namespace {

std::uint32_t characterCount(std::string_view text) {
    std::uint32_t count = 0;
    for (std::size_t at = 0; at < text.size(); at += characterLength(text, at))
        ++count;
    return count;
}

// The first eight bytes of text as a number that sorts as the text does.
std::uint64_t leadingBytes(std::string_view text) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < 8; ++i)
        value = value << 8 | (i < text.size() ? static_cast<unsigned char>(text[i]) : 0u);
    return value;
}

std::uint64_t textHash(std::string_view text) {
    std::uint64_t hash = 1469598103934665603ull;
    for (const char c : text)
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    return hash;
}

// Calls visit with each part of key after the first: the texts between its joiners.
template <typename Visit> void forEachLaterPart(std::string_view key, Visit visit) {
    std::size_t at = key.find('-');
    while (at != std::string_view::npos) {
        const std::size_t end = key.find('-', at + 1);
        const std::string_view part = key.substr(at + 1, end - at - 1);
        if (!part.empty()) visit(part);
        at = end;
    }
}

// Groups items by a small number, their bucket, in one array with no room to spare: first[b] up
// to first[b + 1] are the places in items of bucket b's, in the order visited. visit(place) calls
// place(bucket, item) for each item, the same ones in the same order each time.
template <typename Visit>
void groupByBucket(std::size_t buckets, Visit visit, std::vector<std::uint32_t>& first,
                   std::vector<std::uint32_t>& items) {
    first.assign(buckets + 1, 0);
    visit([&](std::size_t bucket, std::uint32_t) { ++first[bucket + 1]; });
    for (std::size_t b = 0; b < buckets; ++b)
        first[b + 1] += first[b];
    items.assign(first[buckets], 0);
    std::vector<std::uint32_t> next(first.begin(), first.end() - 1);
    visit([&](std::size_t bucket, std::uint32_t item) { items[next[bucket]++] = item; });
}

// Whether the typed words first to last may be read in the singular: none has a capital after
// its first letter.
bool foldsToSingular(const std::vector<QueryWord>& words, std::size_t first, std::size_t last) {
    for (std::size_t w = first; w < last; ++w)
        if (std::any_of(words[w].typed.begin() + (words[w].typed.empty() ? 0 : 1),
                        words[w].typed.end(), [](char c) { return c >= 'A' && c <= 'Z'; }))
            return false;
    return true;
}

} // namespace

void NameIndex::add(std::string_view label, std::string_view name, std::string_view key) {
    if (keyOf_.size() != entries_.size()) restoreKeys();
    // The names of a line come one after another for the same label.
    if (label != lastLabel_ || labelIds_.empty()) {
        lastLabel_ = label;
        const auto [found, added] =
            labelIds_.try_emplace(foldCase(label), static_cast<std::uint32_t>(labelIds_.size()));
        if (added) labelTexts_.emplace_back(label);
        lastLabelId_ = found->second;
    }
    entries_.push_back({lastLabelId_, static_cast<std::uint32_t>(entries_.size()),
                        static_cast<std::uint32_t>(typedTexts_.size()),
                        static_cast<std::uint32_t>(name.size())});
    typedTexts_ += name;
    built_ = false;
    keyOf_.emplace_back(static_cast<std::uint32_t>(keyTexts_.size()),
                        static_cast<std::uint32_t>(key.size()));
    keyTexts_ += key;
}

void NameIndex::build() {
    if (built_) return;
    built_ = true;
    {
        const std::vector<std::uint32_t> placeOf = sortEntries();
        collectKeys();
        indexLabels(placeOf);
    }
    indexLengths();
    indexParts();
}

std::vector<std::uint32_t> NameIndex::sortEntries() {
    const std::size_t count = entries_.size();
    const std::string_view keyTexts = keyTexts_;
    const auto keyOfName = [&](const Entry& entry) {
        const auto [start, size] = keyOf_[entry.order];
        return keyTexts.substr(start, size);
    };
    // Sorted by key, then in the order given; the leading bytes decide most places. The entries'
    // places are sorted, in the order given to start with, by the leading bytes, sixteen bits at
    // a time from the last, each pass keeping the order of the one before: a million names take
    // four passes rather than twenty rounds of comparisons.
    std::vector<std::uint64_t> leading(count);
    std::vector<std::uint32_t> places(count);
    for (std::uint32_t at = 0; at < count; ++at) {
        leading[at] = leadingBytes(keyOfName(entries_[at]));
        places[entries_[at].order] = at;
    }
    if (count < 65536) {
        // Few names: comparisons cost less than passes over the buckets.
        std::stable_sort(places.begin(), places.end(), [&](std::uint32_t a, std::uint32_t b) {
            return leading[a] < leading[b];
        });
    } else {
        std::vector<std::uint32_t> spare(count);
        std::vector<std::uint32_t> starts(65537);
        for (int shift = 0; shift < 64; shift += 16) {
            std::fill(starts.begin(), starts.end(), 0);
            for (const std::uint32_t at : places)
                ++starts[((leading[at] >> shift) & 0xFFFF) + 1];
            // A pass whose digit all share changes nothing.
            if (std::find(starts.begin() + 1, starts.end(), count) != starts.end()) continue;
            for (std::size_t digit = 1; digit < starts.size(); ++digit)
                starts[digit] += starts[digit - 1];
            for (const std::uint32_t at : places)
                spare[starts[(leading[at] >> shift) & 0xFFFF]++] = at;
            places.swap(spare);
        }
    }
    // Keys that share their leading bytes, by the rest of them.
    for (std::size_t run = 0; run < count;) {
        std::size_t end = run + 1;
        while (end < count && leading[places[end]] == leading[places[run]])
            ++end;
        if (end - run > 1)
            std::sort(places.begin() + static_cast<std::ptrdiff_t>(run),
                      places.begin() + static_cast<std::ptrdiff_t>(end),
                      [&](std::uint32_t a, std::uint32_t b) {
                          const Entry& first = entries_[a];
                          const Entry& second = entries_[b];
                          if (const int order = keyOfName(first).compare(keyOfName(second));
                              order != 0)
                              return order < 0;
                          return first.order < second.order;
                      });
        run = end;
    }
    std::vector<std::uint64_t>().swap(leading);
    std::vector<Entry> sorted(count);
    std::vector<std::uint32_t> placeOf(count);
    for (std::uint32_t at = 0; at < count; ++at) {
        sorted[at] = entries_[places[at]];
        placeOf[sorted[at].order] = at;
    }
    entries_.swap(sorted);
    return placeOf;
}

void NameIndex::collectKeys() {
    const std::size_t count = entries_.size();
    const std::string_view keyTexts = keyTexts_;
    const auto keyOfEntry = [&](std::uint32_t at) {
        const auto [start, size] = keyOf_[entries_[at].order];
        return keyTexts.substr(start, size);
    };
    // The distinct keys, counted first so that they are held once, with no room to spare.
    std::size_t distinct = 0;
    for (std::uint32_t at = 0; at < count; ++at)
        distinct += at == 0 || keyOfEntry(at) != keyOfEntry(at - 1) ? 1 : 0;
    keys_.clear();
    keys_.reserve(distinct);
    for (std::uint32_t at = 0; at < count; ++at) {
        const std::string_view key = keyOfEntry(at);
        if (at == 0 || key != keyOfEntry(at - 1))
            keys_.push_back({keyOf_[entries_[at].order].first,
                             static_cast<std::uint32_t>(key.size()), at, characterCount(key)});
    }
    // Held again only when more names come.
    decltype(keyOf_)().swap(keyOf_);
}

void NameIndex::indexLabels(const std::vector<std::uint32_t>& placeOf) {
    // Each label's names in the order given.
    groupByBucket(
        labelIds_.size(),
        [&](auto place) {
            for (const std::uint32_t at : placeOf)
                place(entries_[at].label, at);
        },
        labelFirst_, byLabel_);
}

void NameIndex::indexLengths() {
    // Those longer than comparedLength bytes apart.
    longKeys_.clear();
    for (std::uint32_t k = 0; k < keys_.size(); ++k)
        if (keys_[k].size > comparedLength) longKeys_.push_back(k);
    groupByBucket(
        comparedLength + 1,
        [&](auto place) {
            for (std::uint32_t k = 0; k < keys_.size(); ++k)
                if (keys_[k].size <= comparedLength) place(keys_[k].characters, k);
        },
        lengthFirst_, byLength_);
    lengthBits_.assign(byLength_.size(), 0);
    for (std::size_t at = 0; at < byLength_.size(); ++at)
        lengthBits_[at] = characterBits(keyText(byLength_[at]));
}

void NameIndex::indexParts() {
    // About four to a bucket, the buckets a power of two.
    std::size_t parts = 0;
    for (std::uint32_t k = 0; k < keys_.size(); ++k)
        forEachLaterPart(keyText(k), [&](std::string_view) { ++parts; });
    std::size_t buckets = 1;
    while (buckets * 4 < parts)
        buckets *= 2;
    groupByBucket(
        buckets,
        [&](auto place) {
            for (std::uint32_t k = 0; k < keys_.size(); ++k)
                forEachLaterPart(keyText(k), [&](std::string_view part) {
                    place(textHash(part) & (buckets - 1), k);
                });
        },
        partFirst_, byPart_);
}

void NameIndex::restoreKeys() {
    keyOf_.resize(entries_.size());
    for (std::uint32_t k = 0; k < keys_.size(); ++k) {
        const std::uint32_t last =
            k + 1 < keys_.size() ? keys_[k + 1].first : static_cast<std::uint32_t>(entries_.size());
        for (std::uint32_t e = keys_[k].first; e < last; ++e)
            keyOf_[entries_[e].order] = {keys_[k].text, keys_[k].size};
    }
}

int NameIndex::labelId(std::string_view label) const {
    if (labelIds_.empty()) return -1;
    const auto found = labelIds_.find(foldCase(label));
    return found == labelIds_.end() ? -1 : static_cast<int>(found->second);
}

std::vector<std::string_view> NameIndex::namesOf(int label) const {
    std::vector<std::string_view> names;
    if (label < 0) return names;
    const auto l = static_cast<std::size_t>(label);
    for (std::uint32_t i = labelFirst_[l]; i < labelFirst_[l + 1]; ++i)
        names.push_back(typedText(entries_[byLabel_[i]]));
    return names;
}

bool NameIndex::hasName(std::string_view text) const {
    const std::string key = searchKey(text);
    const std::uint32_t found = lowerBound(key);
    if (found == keys_.size() || keyText(found) != key) return false;
    const std::uint32_t last = found + 1 < keys_.size()
                                   ? keys_[found + 1].first
                                   : static_cast<std::uint32_t>(entries_.size());
    for (std::uint32_t e = keys_[found].first; e < last; ++e)
        if (typedText(entries_[e]) == text) return true;
    return false;
}

std::vector<NameIndex::Named> NameIndex::named(std::string_view key) const {
    std::vector<Named> found;
    const std::uint32_t at = lowerBound(key);
    if (at == keys_.size() || keyText(at) != key) return found;
    const std::uint32_t last =
        at + 1 < keys_.size() ? keys_[at + 1].first : static_cast<std::uint32_t>(entries_.size());
    for (std::uint32_t e = keys_[at].first; e < last; ++e)
        found.push_back({static_cast<int>(entries_[e].label), typedText(entries_[e])});
    return found;
}

bool NameIndex::isPartOfName(std::string_view key) const {
    const std::string first = std::string(key) + "-";
    if (const std::uint32_t found = lowerBound(first);
        found < keys_.size() && keyText(found).starts_with(first))
        return true;
    if (byPart_.empty() || key.empty()) return false;
    const std::size_t bucket = textHash(key) & (partFirst_.size() - 2);
    for (std::uint32_t i = partFirst_[bucket]; i < partFirst_[bucket + 1]; ++i) {
        bool has = false;
        forEachLaterPart(keyText(byPart_[i]),
                         [&](std::string_view part) { has = has || part == key; });
        if (has) return true;
    }
    return false;
}

std::uint32_t NameIndex::lowerBound(std::string_view text) const {
    std::uint32_t low = 0;
    auto high = static_cast<std::uint32_t>(keys_.size());
    while (low < high) {
        const std::uint32_t middle = low + (high - low) / 2;
        if (keyText(middle) < text)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

void NameIndex::rank(const std::vector<QueryWord>& words, std::size_t w,
                     const std::vector<char>& inUse, std::vector<MatchRank>& ranks) const {
    const QueryWord& query = words[w];
    const std::string_view typed = query.key;
    const auto entriesOf = [&](std::uint32_t key) {
        const std::uint32_t last = key + 1 < keys_.size()
                                       ? keys_[key + 1].first
                                       : static_cast<std::uint32_t>(entries_.size());
        return std::pair{keys_[key].first, last};
    };
    const auto mark = [&](std::uint32_t key, MatchRank rank) {
        const auto [first, last] = entriesOf(key);
        for (std::uint32_t e = first; e < last; ++e) {
            const std::uint32_t label = entries_[e].label;
            if (inUse[label]) ranks[label] = std::min(ranks[label], rank);
        }
    };

    // The names whose key is key, typed as typedAs: where names differ only by letter case
    // ("mW", "MW"), the one typed so wins; the others are as good as a start. False when no
    // name in use has the key.
    const auto markEqual = [&](std::uint32_t key, std::string_view typedAs) {
        const auto [first, last] = entriesOf(key);
        bool typedSo = false;
        bool any = false;
        for (std::uint32_t e = first; e < last && !typedSo; ++e)
            typedSo = inUse[entries_[e].label] && typedText(entries_[e]) == typedAs;
        for (std::uint32_t e = first; e < last; ++e) {
            const std::uint32_t label = entries_[e].label;
            if (!inUse[label]) continue;
            any = true;
            const bool exact = !typedSo || typedText(entries_[e]) == typedAs;
            ranks[label] = std::min(ranks[label], exact ? MatchRank::Exact : MatchRank::Prefix);
        }
        return any;
    };
    const auto keyNamed = [&](std::string_view text) -> std::optional<std::uint32_t> {
        const std::uint32_t key = lowerBound(text);
        if (key < keys_.size() && keyText(key) == text) return key;
        return std::nullopt;
    };

    // The start of a name, or the name itself.
    bool named = false;
    for (std::uint32_t key = lowerBound(typed);
         key < keys_.size() && keyText(key).starts_with(typed); ++key) {
        if (keyText(key).size() != typed.size())
            mark(key, MatchRank::Prefix);
        else
            named = markEqual(key, query.typed);
    }
    // A plural no name has is its singular ("cups" where only "cup" is given); symbols with
    // capitals ("MWhs") stay as typed, as "mWh" and "MWh" differ.
    if (!named && foldsToSingular(words, w, w + 1))
        for (const std::string& singular : singularKeys(typed))
            if (const auto key = keyNamed(singular)) {
                const std::size_t cut =
                    std::min(query.typed.size(), typed.size() - singular.size());
                markEqual(*key, std::string_view(query.typed).substr(0, query.typed.size() - cut));
            }

    // One word of a name of several ("oz" of "fl oz").
    if (!typed.empty() && typed.find('-') == std::string_view::npos && !byPart_.empty()) {
        const std::size_t bucket = textHash(typed) & (partFirst_.size() - 2);
        for (std::uint32_t i = partFirst_[bucket]; i < partFirst_[bucket + 1]; ++i) {
            bool has = false;
            forEachLaterPart(keyText(byPart_[i]),
                             [&](std::string_view part) { has = has || part == typed; });
            if (has) mark(byPart_[i], MatchRank::Prefix);
        }
    }

    // A typo, among keys of about the typed length with about its characters.
    if (const std::size_t allowance = typoAllowance(typed); allowance > 0) {
        const std::uint64_t bits = characterBits(typed);
        const std::uint32_t length = characterCount(typed);
        const auto check = [&](std::uint32_t key, std::uint64_t keyBits) {
            if (bitCount(bits & ~keyBits) > allowance || bitCount(keyBits & ~bits) > allowance)
                return;
            if (boundedEditDistance(typed, keyText(key), allowance) <= allowance)
                mark(key, MatchRank::Typo);
        };
        // The bits lie in the order of the keys by length, so the most keys cost one pass over
        // a plain array.
        const std::size_t shortest = length > allowance ? length - allowance : 0;
        const std::size_t longest = std::min<std::size_t>(length + allowance, comparedLength);
        for (std::size_t l = shortest; l <= longest; ++l)
            for (std::uint32_t i = lengthFirst_[l]; i < lengthFirst_[l + 1]; ++i)
                check(byLength_[i], lengthBits_[i]);
        for (const std::uint32_t key : longKeys_)
            if (keys_[key].characters + allowance >= length &&
                length + allowance >= keys_[key].characters)
                check(key, characterBits(keyText(key)));
    }

    // Two or three words in a row that together make a name ("fl oz", "sq m").
    const std::size_t count = words.size();
    for (std::size_t span = 2; span <= 3; ++span)
        for (std::size_t start = w + 1 >= span ? w + 1 - span : 0;
             start <= w && start + span <= count; ++start) {
            std::string joined = words[start].key;
            for (std::size_t next = start + 1; next < start + span; ++next)
                joined += "-" + words[next].key;
            if (const auto key = keyNamed(joined)) {
                mark(*key, MatchRank::Exact);
            } else if (foldsToSingular(words, start, start + span)) {
                for (const std::string& singular : singularKeys(joined))
                    if (const auto key = keyNamed(singular)) mark(*key, MatchRank::Exact);
            }
        }
}

std::vector<NameIndex::Near> NameIndex::nearest(std::string_view key, std::size_t reach,
                                                const std::vector<int>& firstOf) const {
    std::vector<Near> found;
    const std::uint64_t bits = characterBits(key);
    const std::uint32_t length = characterCount(key);
    const auto check = [&](std::uint32_t k) {
        // The name that stands for the key: the first of a label in use.
        const std::uint32_t first = keys_[k].first;
        const std::uint32_t last =
            k + 1 < keys_.size() ? keys_[k + 1].first : static_cast<std::uint32_t>(entries_.size());
        const Entry* chosen = nullptr;
        std::uint64_t order = 0;
        for (std::uint32_t e = first; e < last; ++e) {
            const int place = firstOf[entries_[e].label];
            if (place < 0) continue;
            const std::uint64_t mine = static_cast<std::uint64_t>(place) << 32 | entries_[e].order;
            if (!chosen || mine < order) {
                chosen = &entries_[e];
                order = mine;
            }
        }
        if (!chosen) return;
        const std::size_t distance =
            boundedEditDistance(key, keyText(k).substr(0, comparedLength), reach);
        if (distance <= reach) found.push_back({distance, order, typedText(*chosen)});
    };
    const std::size_t shortest = length > reach ? length - reach : 0;
    const std::size_t longest = std::min<std::size_t>(length + reach, comparedLength);
    for (std::size_t l = shortest; l <= longest; ++l)
        for (std::uint32_t i = lengthFirst_[l]; i < lengthFirst_[l + 1]; ++i)
            if (bitCount(bits & ~lengthBits_[i]) <= reach) check(byLength_[i]);
    // Compared by their start, whose characters the bits do not tell.
    for (const std::uint32_t k : longKeys_)
        check(k);
    return found;
}
