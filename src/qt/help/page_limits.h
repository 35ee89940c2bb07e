#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

// Bounds on the pages the help window lays out. The toolkit's layout takes time exponential in
// the nesting of tables (about twice as long for each level) and overflows the stack for a few
// thousand, and its reader takes time for each element in proportion to how deep it stands: a
// page of 16,000 elements inside each other takes a minute. The help's own pages are under 32 KB
// and nest fewer than ten elements; a full-size page 128 deep is laid out in under a second.
inline constexpr std::size_t maxPageSize = 128 * 1024;
inline constexpr int maxPageNesting = 128;
inline constexpr int maxTableNesting = 4;

// Budgets on what a page holds, each far above what the help's own pages use (at most 577
// elements, 311 lines, no picture, 142 table cells and a style work of 289,527) and well below
// what freezes the window. The toolkit's time for a list grows with the square of its items, for
// a paragraph with the square of its pictures and differently formatted runs; each line of
// preformatted text is a paragraph of its own; a table takes its rows times its columns, the
// places a row leaves empty and those a cell spans included (one <td colspan=1000> over 1000
// one-cell rows takes minutes), and twice as long for each table it stands in.
inline constexpr std::size_t maxPageElements = 3000;
inline constexpr std::size_t maxPageLines = 10'000;
inline constexpr std::size_t maxPagePictures = 256;
inline constexpr std::size_t maxTableCells = 2000;
// The toolkit tries a page's style selectors on each element again for every element it stands
// in; a selector ending in an element name only on elements of that name, any other (a class, an
// id, "*") on all. One that matches costs its rule's declarations, and one naming an ancestor (a
// blank or ">" in it) walks up from there to the page. The style work adds, for every selector,
// its tries and their steps: an element counts once for itself and once for each element inside
// it, and more the longer its tag, as every try searches its attributes and may split one into
// words; a step counts the chain of elements above it likewise. A style sheet counts as one
// selector tried on everything, which the toolkit searches whatever it holds; as the toolkit
// reads sheets whole each time, what it reads of them is bounded too.
inline constexpr std::uint64_t maxStyleWork = 1'500'000;
inline constexpr std::size_t maxStyleSheetSize = 128 * 1024;

// Tries and steps: what a selector costs, as weights; what a page's elements offer, as counts.
struct StyleCost {
    std::uint64_t tries = 0;
    std::uint64_t steps = 0;
};
using StyleCostByName = std::map<std::string, StyleCost, std::less<>>;

// The selectors of style sheets, by the element name they end in.
struct StyleSelectors {
    StyleCostByName byName;
    StyleCost any; // those ending in none, and the sheets
    StyleSelectors& operator+=(const StyleSelectors& more);
};

// What the bounds count of a page.
struct PageMeasure {
    bool within = true;
    std::size_t elements = 0;
    std::size_t lines = 0;
    std::size_t pictures = 0;
    std::size_t tableCells = 0;
    // Of its own style elements, as often as the toolkit reads them.
    StyleSelectors styleSelectors;
    std::size_t styleSize = 0;
    // What its elements offer selectors, in all and by element name.
    StyleCost styleWork;
    StyleCostByName styleWorkByName;
};

// The nesting is that of the tree the toolkit's reader builds, followed tag by tag. It keeps
// every element open until its end tag, known to it or not and void in HTML or not (source, wbr,
// embed, option), but img, br, hr, meta and those closed by "/>"; a p leaves the inline elements
// it stands in for a p holding them, and a p right inside a p or an li right inside an li goes
// beside it; a dd, dt, td, th, tr or table part goes up to the nearest element that may hold it,
// and a cell or row outside a table gets the table and row it lacks. Tags are read as the reader
// reads them: it knows no raw text, skips blanks after "<" and takes quoted names.
// True when a page is within the bounds: its size, the number of elements open inside each other,
// the number of tables inside each other and the budgets. A page whose tag names hold character
// references, whose end tags hold letters beyond ASCII, where it cannot be told whether an end tag
// named as an empty element reopens an element, or with a table in a table, a table part, a row
// or a caption but in no cell of it (which the toolkit lays out where the last cell left off), is
// not: what the toolkit makes of those is not known here. A colspan or rowspan holding a
// character reference counts as the largest.
bool pageWithinLimits(std::string_view html);
// The same without the size: for a page's text as the document reads it (UTF-8), decoded from
// whatever the page was written in.
bool pageNestingWithinLimits(std::string_view html);
// The same, with what was counted; nothing is when a bound is passed before the end.
PageMeasure measurePage(std::string_view html);

// At least the selectors the toolkit finds in a style sheet, and one for the sheet itself, each
// weighing one and the declarations of its rule. Those inside another rule (@media) count as
// ending in no name, as the toolkit tries them on everything. Nothing when the sheet holds "+",
// or a character reference or an escape that may stand for one: for the sibling combinator the
// toolkit finds an element's previous sibling by searching all its siblings, for every element
// and every element it stands in, which no budget here bounds.
std::optional<StyleSelectors> styleSelectors(std::string_view css);
// Whether style sheets of those selectors may be used on a page of that measure.
bool styleWithinLimits(const StyleSelectors& selectors, const PageMeasure& page);
