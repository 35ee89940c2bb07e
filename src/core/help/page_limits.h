#pragma once

#include <cstddef>
#include <string_view>

// Bounds on the pages the help window lays out. The toolkit's layout takes time exponential in
// the nesting of tables (about twice as long for each level) and overflows the stack for a few
// thousand, and deep nesting of other elements grows its time too; the help's own pages are
// under 16 KB and nest fewer than ten elements.
inline constexpr std::size_t maxPageSize = 128 * 1024;
inline constexpr int maxPageNesting = 64;
inline constexpr int maxTableNesting = 4;

// Tags are read as the toolkit's own reader reads them (it knows no raw text, skips blanks after
// "<", and decodes character references in tag names), so that what it nests is what is counted.
// True when a page is within the bounds: its size, the number of elements open inside each other
// (elements whose end tag may be left out, such as p, li and td, are not counted) and the number
// of tables inside each other.
bool pageWithinLimits(std::string_view html);
// The same without the size: for a page's text as the document reads it (UTF-8), decoded from
// whatever the page was written in.
bool pageNestingWithinLimits(std::string_view html);
