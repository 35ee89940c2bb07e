#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

// How a typed conversion is put together: what is converted, a separator, and what it is
// converted to ("5 mi to km", "mi → km", "mi->km"). The separators are the word "to" in any
// letter case and the arrows "→" and "->"; an arrow separates also glued between two words.
//
// The value reader ends a quantity at a separator, Find splits its words into the From and the
// To side at the first one, and --convert takes the To unit from after it. All three ask here,
// so that what separates is written once.

// The arrow between two units, in queries and in the lines that list matches.
inline constexpr std::string_view unitArrow = "\xE2\x86\x92"; // →, U+2192

// The length of the arrow that begins at text[at]; 0 for none.
std::size_t arrowAt(std::string_view text, std::size_t at);

// The length of the separator that begins at text[at], which is where a word may begin: an
// arrow, or the word "to", which a blank, an arrow or the text's end ends; 0 for none.
std::size_t separatorAt(std::string_view text, std::size_t at);

// The text after the separator that text starts with, blanks trimmed; none when text starts with
// no separator.
std::optional<std::string_view> afterSeparator(std::string_view text);

// A piece of a typed conversion: a word, which blanks and arrows end, or an arrow.
struct QueryToken {
    std::string_view text;
    bool arrow = false;
    // An arrow, or a word that is a separator ("to", "TO").
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
