#include "search/name_ranks.h"

#include "names/name_index.h"
#include "search/search_query.h"
#include "text/bucket_groups.h"
#include "text/edit_distance.h"
#include "text/search_text.h"

#include <algorithm>
#include <optional>

namespace {

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

NameRanks::NameRanks(const NameIndex& names) : names_(names) {
    const std::uint32_t keys = names_.keyCount();
    // Those longer than comparedLength bytes apart.
    for (std::uint32_t k = 0; k < keys; ++k)
        if (names_.keyText(k).size() > comparedLength) longKeys_.push_back(k);
    groupByBucket(
        comparedLength + 1,
        [&](auto place) {
            for (std::uint32_t k = 0; k < keys; ++k)
                if (names_.keyText(k).size() <= comparedLength) place(names_.keyCharacters(k), k);
        },
        lengthFirst_, byLength_);
    lengthBits_.assign(byLength_.size(), 0);
    for (std::size_t at = 0; at < byLength_.size(); ++at)
        lengthBits_[at] = characterBits(names_.keyText(byLength_[at]));
    // The later parts, about four to a bucket, the buckets a power of two.
    std::size_t parts = 0;
    for (std::uint32_t k = 0; k < keys; ++k)
        forEachLaterPart(names_.keyText(k), [&](std::string_view) { ++parts; });
    std::size_t buckets = 1;
    while (buckets * 4 < parts)
        buckets *= 2;
    groupByBucket(
        buckets,
        [&](auto place) {
            for (std::uint32_t k = 0; k < keys; ++k)
                forEachLaterPart(names_.keyText(k), [&](std::string_view part) {
                    place(textHash(part) & (buckets - 1), k);
                });
        },
        partFirst_, byPart_);
}

void NameRanks::rank(const std::vector<QueryWord>& words, std::size_t w,
                     const std::vector<char>& inUse, std::vector<MatchRank>& ranks) const {
    const QueryWord& query = words[w];
    const std::string_view typed = query.key;
    const std::uint32_t keys = names_.keyCount();
    const auto mark = [&](std::uint32_t key, MatchRank rank) {
        names_.forEachName(key, [&](const NameIndex::Name& name) {
            if (inUse[name.label]) ranks[name.label] = std::min(ranks[name.label], rank);
        });
    };

    // The names whose key is key, typed as typedAs: where names differ only by letter case
    // ("mW", "MW"), the one typed so wins; the others are as good as a start. False when no
    // name in use has the key.
    const auto markEqual = [&](std::uint32_t key, std::string_view typedAs) {
        bool typedSo = false;
        bool any = false;
        names_.forEachName(key, [&](const NameIndex::Name& name) {
            typedSo = typedSo || (inUse[name.label] && name.typed == typedAs);
        });
        names_.forEachName(key, [&](const NameIndex::Name& name) {
            if (!inUse[name.label]) return;
            any = true;
            const bool exact = !typedSo || name.typed == typedAs;
            ranks[name.label] =
                std::min(ranks[name.label], exact ? MatchRank::Exact : MatchRank::Prefix);
        });
        return any;
    };
    const auto keyNamed = [&](std::string_view text) -> std::optional<std::uint32_t> {
        const std::uint32_t key = names_.lowerBound(text);
        if (key < keys && names_.keyText(key) == text) return key;
        return std::nullopt;
    };

    // The start of a name, or the name itself.
    bool named = false;
    for (std::uint32_t key = names_.lowerBound(typed);
         key < keys && names_.keyText(key).starts_with(typed); ++key) {
        if (names_.keyText(key).size() != typed.size())
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
            forEachLaterPart(names_.keyText(byPart_[i]),
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
            if (boundedEditDistance(typed, names_.keyText(key), allowance) <= allowance)
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
            if (names_.keyCharacters(key) + allowance >= length &&
                length + allowance >= names_.keyCharacters(key))
                check(key, characterBits(names_.keyText(key)));
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

std::vector<NameRanks::Near> NameRanks::nearest(std::string_view key, std::size_t reach,
                                                const std::vector<int>& firstOf) const {
    std::vector<Near> found;
    const std::uint64_t bits = characterBits(key);
    const std::uint32_t length = characterCount(key);
    const auto check = [&](std::uint32_t k) {
        // The name that stands for the key: the first of a label in use.
        std::optional<std::string_view> chosen;
        std::uint64_t order = 0;
        names_.forEachName(k, [&](const NameIndex::Name& name) {
            const int place = firstOf[name.label];
            if (place < 0) return;
            const std::uint64_t mine = static_cast<std::uint64_t>(place) << 32 | name.order;
            if (!chosen || mine < order) {
                chosen = name.typed;
                order = mine;
            }
        });
        if (!chosen) return;
        const std::size_t distance =
            boundedEditDistance(key, names_.keyText(k).substr(0, comparedLength), reach);
        if (distance <= reach) found.push_back({distance, order, *chosen});
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
