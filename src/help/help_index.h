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

// The keywords that lead to a page, in the order of the file.
std::vector<IndexEntry> indexKeywords(const std::vector<ContentsEntry>& sitemap);

// The keyword a typed text leads to, as its place in entries: the first that starts with the
// text, letter case and leading punctuation ("--check") aside; else the first with a word that
// starts with it; npos when none does or the text is blank.
std::size_t findKeyword(const std::vector<IndexEntry>& entries, std::string_view typed);
