#pragma once

#include <optional>
#include <string>
#include <string_view>

// A conversion as the user's lists keep it, by the names the catalog gives it so that it is found
// again after the catalog changed: a line of tab-separated fields, "Category, From, To" and the
// value typed for it, which may be empty.
struct SavedPair {
    std::string category;
    std::string from;
    std::string to;
    std::string value;

    bool operator==(const SavedPair&) const = default;
};

// The longest line read; a longer one is not a pair this program wrote.
inline constexpr std::size_t maxSavedPairLine = 1024;

// The pair's line. A value's tabs and line breaks become spaces, and a value too long for the
// line is left out.
std::string savedPairLine(const SavedPair& pair);
// The pair a line holds; none for a line of fewer than three fields or more than four, with an
// empty name, bytes that are not UTF-8, control characters, or over maxSavedPairLine bytes.
std::optional<SavedPair> savedPairFromLine(std::string_view line);
