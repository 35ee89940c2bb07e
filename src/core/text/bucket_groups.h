#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

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
