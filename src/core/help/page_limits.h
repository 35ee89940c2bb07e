#pragma once

#include <cstddef>
#include <string_view>

// Bounds on the pages the help window lays out. The toolkit's layout takes time exponential in
// the nesting of tables (about twice as long for each level) and overflows the stack for a few
// thousand, and its reader takes time for each element in proportion to how deep it stands: a
// page of 16,000 elements inside each other takes a minute. The help's own pages are under 16 KB
// and nest fewer than ten elements; a full-size page 128 deep is laid out in under a second.
inline constexpr std::size_t maxPageSize = 128 * 1024;
inline constexpr int maxPageNesting = 128;
inline constexpr int maxTableNesting = 4;

// The nesting is that of the tree the toolkit's reader builds, followed tag by tag. It keeps
// every element open until its end tag, known to it or not and void in HTML or not (source, wbr,
// embed, option), but img, br, hr, meta and those closed by "/>"; a p leaves the inline elements
// it stands in for a p holding them, and a p right inside a p or an li right inside an li goes
// beside it; a dd, dt, td, th, tr or table part goes up to the nearest element that may hold it,
// and a cell or row outside a table gets the table and row it lacks. Tags are read as the reader
// reads them: it knows no raw text, skips blanks after "<" and takes quoted names.
// True when a page is within the bounds: its size, the number of elements open inside each other
// and the number of tables inside each other. A page whose tag names hold character references,
// whose end tags hold letters beyond ASCII, or where it cannot be told whether an end tag named
// as an empty element reopens an element, is not: what the toolkit makes of those is not known
// here.
bool pageWithinLimits(std::string_view html);
// The same without the size: for a page's text as the document reads it (UTF-8), decoded from
// whatever the page was written in.
bool pageNestingWithinLimits(std::string_view html);
