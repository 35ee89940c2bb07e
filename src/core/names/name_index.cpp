#include "names/name_index.h"

#include "text/bucket_groups.h"
#include "text/case_fold.h"
#include "text/search_text.h"

#include <algorithm>

namespace {

// The first eight bytes of text as a number that sorts as the text does.
std::uint64_t leadingBytes(std::string_view text) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < 8; ++i)
        value = value << 8 | (i < text.size() ? static_cast<unsigned char>(text[i]) : 0u);
    return value;
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
    const std::vector<std::uint32_t> placeOf = sortEntries();
    collectKeys();
    indexLabels(placeOf);
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
        std::stable_sort(places.begin(), places.end(),
                         [&](std::uint32_t a, std::uint32_t b) { return leading[a] < leading[b]; });
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
