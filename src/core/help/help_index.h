#pragma once

#include "help/help_contents.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// One keyword of a help file's index (.hhk, a sitemap like the contents): a keyword listed
// below another reads "other, keyword".
struct IndexEntry {
    std::string keyword;
    std::string local;
};

// Bounds on the index, far above any real help's: a keyword's length (the names above it
// included), the number of keywords and the bytes of all keywords together.
inline constexpr std::size_t maxKeywordSize = 1024;
inline constexpr std::size_t maxKeywords = 50000;
inline constexpr std::size_t maxIndexBytes = 4 * 1024 * 1024;

// The keywords that lead to a page, in the order of the file, up to the bounds.
std::vector<IndexEntry> indexKeywords(const std::vector<ContentsEntry>& sitemap);

// The keyword a typed text leads to, as its place in entries: the first that starts with the
// text, letter case and leading punctuation ("--check") aside; else the first with a word that
// starts with it; npos when none does or the text is blank.
std::size_t findKeyword(const std::vector<IndexEntry>& entries, std::string_view typed);

// Which keywords the index shows while text is typed: those findKeyword could lead to, every one
// for a blank text.
std::vector<bool> keywordsShown(const std::vector<IndexEntry>& entries, std::string_view typed);
