#pragma once

#include <cstddef>
#include <string_view>

// The edit distance of a and b in characters (a UTF-8 sequence is one, a byte that starts
// none one of its own), an adjacent swap counting as one edit (optimal string alignment),
// when it is at most bound; any larger distance gives bound + 1. Only a band of 2 * bound + 1
// cells a row is computed, and the work stops once every cell of a row exceeds bound, so the time
// grows with the shorter length times the bound, never with the product of the lengths.
// Find compares texts longer than this by their first comparedLength bytes: no unit word or name
// is longer, and the distance of a pasted page costs no more than that of a word.
inline constexpr std::size_t comparedLength = 64;

std::size_t boundedEditDistance(std::string_view a, std::string_view b, std::size_t bound);
