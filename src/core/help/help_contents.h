#pragma once

#include "help/html_scan.h"

#include <string>
#include <string_view>
#include <vector>

// One entry of a help file's table of contents: the title shown, the page it leads to (with an
// optional "#anchor"; empty for a heading without a page) and the entries below it.
struct ContentsEntry {
    std::string name;
    std::string local;
    std::vector<ContentsEntry> children;
};

// Reads the sitemap of a table of contents (.hhc): each <OBJECT type="text/sitemap"> with its
// Name and Local parameters is an entry, and a <UL> right after an entry holds its children.
// Tolerant of what help compilers accept: any letter case, unquoted values, missing end tags.
// Names longer than maxContentsName are cut. Lists nested deeper than maxContentsDepth stay at that
// depth, so that no damaged file can make a tree too deep to show or to free.
std::vector<ContentsEntry> parseContents(std::string_view sitemap);
inline constexpr std::size_t maxContentsDepth = 32;
// Longer names are cut to this many bytes: no title is longer, and a damaged file's names would
// otherwise be copied into every keyword below them.
inline constexpr std::size_t maxContentsName = 256;
