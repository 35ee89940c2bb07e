#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

// How a typed conversion is put together, the one grammar of Find, --convert and the value
// reader (words in any letter case):
//
//   query     = [lead] (plain | how-many) ["?"]
//   lead      = "convert" | "what is" | "what's"
//   plain     = [value] units [separator units]          "5 mi to km", "lb in kg", "mi->km"
//   how-many  = "how many" units ["are" | "is"] "in" ["a" | "an" | "one" | value] units
//   separator = "to" | "into" | "->" | "→" | "=" | "in" | "as"
//
// In the how-many form the value and the units after "in" are what is converted. The arrows and
// "=" separate also glued between two words ("mi->km"). "in" is also the inch and "as" may be
// a unit too, so these two separate only by position: after a unit word (not a number: "5 in"
// and "5 ft 11 in" are inches), before another word that is not a number, and only in a query
// with none of the other separators ("lbf in to N m"). Neither separates after "sq", "square",
// "cu", "cubic", "lbf" or "ozf", which make a unit with it ("10 sq in in cm²").

// The arrow between two units, in queries and in the lines that list matches.
inline constexpr std::string_view unitArrow = "\xE2\x86\x92"; // →, U+2192

// The length of the arrow (or "=") that begins at text[at]; 0 for none.
std::size_t arrowAt(std::string_view text, std::size_t at);

// The length of the separator that begins at text[at], which is where a word may begin, of those
// that separate wherever they stand: an arrow, or "to" or "into", which a blank, an arrow or
// the text's end ends; 0 for none. ("in" and "as" separate by position: querySides.)
std::size_t separatorAt(std::string_view text, std::size_t at);

// The text after the separator that text starts with, blanks trimmed; none when text starts with
// no separator.
std::optional<std::string_view> afterSeparator(std::string_view text);

// A typed conversion parted into what is converted and what it is converted to; views into the
// text, blanks trimmed.
struct QuerySides {
    // The value and the units converted from ("5 ft 11 in", "mile" of "how many feet in a
    // mile"); empty when none is written.
    std::string_view from;
    // The units converted to; empty without a separator.
    std::string_view to;
    // A separator, or the how-many form, parted the two.
    bool separated = false;
    // The value is written as a word: "a", "an" or "one" in the how-many form.
    bool valueOne = false;
};
QuerySides querySides(std::string_view text);

// Where the separator of a plain query begins in text, which starts with what is converted
// ("5 in in cm" gives 5, "5 ft 11 in" its length): the end of a quantity written there.
std::size_t separatorPosition(std::string_view text);

// A piece of a typed conversion: a word, which blanks and arrows end, or an arrow.
struct QueryToken {
    std::string_view text;
    bool arrow = false;
    // An arrow, or a word that separates wherever it stands ("to", "TO", "into").
    bool separator = false;
};

// The tokens of a text in order, blanks skipped:
//
//   QueryTokens tokens(text);
//   for (QueryToken token; tokens.next(token);) ...
class QueryTokens {
  public:
    explicit QueryTokens(std::string_view text) : text_(text) {}
    // The next token; false at the text's end.
    bool next(QueryToken& token);

  private:
    std::string_view text_;
    std::size_t at_ = 0;
};
