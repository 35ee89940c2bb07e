#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class UnitNames;

// Up to count of labels (display texts), closest to text first: those that text's words match as
// the conversion search matches them (by the labels' words and names, label_ranks.h), better
// ranks first; then the others by edit distance ignoring letter case, of the whole texts or word
// by word. Distances are counted only up to a bound and long texts compared by their start, so
// the time grows with the number of labels, not with its square or with the length of text.
// Ties keep the given order.
std::vector<std::string>
closestLabels(std::string_view text, const std::vector<std::string>& labels, std::size_t count = 3);
std::vector<std::string> closestLabels(std::string_view text,
                                       const std::vector<std::string>& labels, std::size_t count,
                                       const UnitNames& names);
