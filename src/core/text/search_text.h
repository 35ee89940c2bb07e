#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Texts as the conversion search compares them: unit labels, unit names and typed words.

// The words of a UTF-8 text, letter case folded away, in order: runs of letters and digits, any
// character outside ASCII counting as a letter, so "Points (1/72 inch)" gives points, 1, 72, inch.
std::vector<std::string> searchWords(std::string_view utf8);
// True when word (folded) is the start of one of labelWords (searchWords of a text).
bool wordMatchesLabel(std::string_view word, const std::vector<std::string>& labelWords);

inline bool isSearchWordByte(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return (byte >= '0' && byte <= '9') || (byte >= 'a' && byte <= 'z') ||
           (byte >= 'A' && byte <= 'Z') || byte >= 0x80;
}

// A unit name or a typed word as one comparable text: letter case folded away, "²" and "³" as 2
// and 3, "µ" and "μ" as u, "°" and "^" left out, and every run of blanks and the joiners "·", "-"
// and "_" as one "-" between two parts, so "°C" gives "c", "m²" and "m^2" give "m2", and "N·m",
// "N-m" and "N m" all give "n-m".
std::string searchKey(std::string_view utf8);
// The same with the letter case as typed: "mW" gives mW, "N·m" N-m. Folded, it is searchKey
// (but for the Greek capital mu, which the key reads as a letter).
std::string searchKeyKeepingCase(std::string_view utf8);

// The parts of a key between its joiners ("fl-oz" gives fl and oz); "km/h" is one part.
std::vector<std::string_view> keyParts(std::string_view key);

// The bytes of the character that starts at text[at]: a whole UTF-8 sequence, or 1 for a byte
// that starts none, so any text steps forward safely.
std::size_t characterLength(std::string_view text, std::size_t at);
// How many characters text holds, each counted as characterLength steps over it.
std::uint32_t characterCount(std::string_view text);

// The singular of a plural word (folded), one of three letters or more: "cups" gives cup,
// "inches" inch, "centuries" century, "feet" foot; empty for a word that is no such plural
// ("ms", "gauss", "celsius").
std::string singularOf(std::string_view word);
// Whether a and b are one word in the two numbers ("cup" and "cups", either way round).
bool sameWordOtherNumber(std::string_view a, std::string_view b);
// The keys that key becomes with one of its parts made singular, a part at a time ("cubic-feet"
// gives cubic-foot); none when no part is a plural.
std::vector<std::string> singularKeys(std::string_view key);

// How many edits a typed word of this many characters may be away from a word or a name and
// still match as a typo: none up to 3 letters, 1 from 4, 2 from 8.
std::size_t typoAllowance(std::string_view utf8);

// A bit for each character that text holds, by its last byte modulo 64. Every edit takes at most
// one character of a word away, so a word with more characters that another lacks than edits
// allowed cannot be that other word with a typo; the bits tell most such pairs apart without an
// edit distance.
std::uint64_t characterBits(std::string_view text);

inline std::size_t bitCount(std::uint64_t bits) {
    std::size_t count = 0;
    for (; bits != 0; bits &= bits - 1)
        ++count;
    return count;
}
