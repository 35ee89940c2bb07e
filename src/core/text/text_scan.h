#pragma once

#include <string>
#include <string_view>

// White space as the C library sees it in the classic locale, whatever the process locale is.
inline constexpr std::string_view whiteSpace = " \t\n\v\f\r";

inline bool isWhiteSpace(char c) {
    return whiteSpace.find(c) != std::string_view::npos;
}

// text without white space at its start and its end; a view into text, also when empty.
std::string_view trimmed(std::string_view text);

// The leading decimal integer of text, read the way atoi reads it but without the locale: blanks
// skipped, an optional sign, digits up to the first other character; 0 without digits. Numbers
// beyond the int range saturate rather than wrap, so no long digit run lands in a small range.
int leadingInteger(std::string_view text);

// A sentence of the program's own as a clause after a colon: "The value is…." gives
// "the value is…".
std::string asClause(std::string sentence);
