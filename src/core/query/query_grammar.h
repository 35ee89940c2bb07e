#pragma once

#include "result.h"
#include "value/value_reader.h"

#include <string>
#include <string_view>
#include <vector>

// How a typed conversion is put together, the one grammar of --convert and Find (words in any
// letter case):
//
//   query     = [lead] (plain | how-many) ["?"]
//   lead      = "convert" | "what is" | "what's" | "what are"
//   plain     = [amount] units [separator units]          "5 mi to km", "a mile in km"
//   how-many  = "how many" units ["are" | "is"] "in" [amount] units
//   amount    = "a" | "an" | "one" | value
//   separator = "to" | "into" | "->" | "→" | "=" | "in" | "as"
//
// In the how-many form the amount and the units after "in" are what is converted. "to", "into",
// the arrows and "=" separate wherever they stand (the arrows and "=" also glued between two
// words, "mi->km"), and a query has one of them at most. "in" is also the inch and "as" may be a
// unit, so they separate only in a query without one of the others, and only between two words;
// where several of them could, the grammar gives each way, and the units decide
// (query/query_reader.h): "5 in in cm" is inches to centimeters, as "5" alone names no unit. "a",
// "an" and "one" before units are the amount 1 ("one mile in km").

// A query's text as the grammar reads it: ℃, ℉, the Kelvin sign and the Ångström sign as °C, °F,
// K and Å; the fraction slash as "/"; and no-break and other spaces as blanks, but for a no-break
// space between two digits where the locale groups thousands with one ("12 500").
std::string normalizedQuery(std::string_view text, const NumberFormat& format);

// A temperature difference asked for by its marks: "Δ" (or "∆", "δ") before a value or a unit,
// the word "delta", or a degree sign after a letter ("10 C° to F°", where "°C" would be a
// temperature). The normalized text without them, and whether it held one; the units it then
// names are read as their differences (query/query_reader.h).
struct DifferenceMarks {
    std::string text;
    bool marked = false;
};
DifferenceMarks withoutDifferenceMarks(std::string_view normalized);

// The words of a normalized text in order, blanks skipped; an arrow or "=" is a word of its own,
// also glued to others.
std::vector<std::string_view> queryWords(std::string_view text);

// One way a query parts into what is converted and what it is converted to: texts of the
// normalized query, blanks trimmed.
struct QueryShape {
    // The amount and the units converted from ("5 ft 11 in"); without an amount written, the
    // units alone. Empty when none are written ("to km").
    std::string from;
    // The units converted to; empty without a separator, or with nothing after it.
    std::string to;
    // A separator, or the how-many form, parted the two. Without one, what is converted and
    // what it is converted to may lie anywhere among the words ("5 mi km" in Find).
    bool separated = false;
    // The amount is written as a word: "a", "an" or "one".
    bool valueOne = false;
};

// Every way the grammar parts text, which normalizedQuery gave; or why it parts it no way (a
// separator twice: "5 km to to mi").
Result<std::vector<QueryShape>> queryShapes(std::string_view text);
