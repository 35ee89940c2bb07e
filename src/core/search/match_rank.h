#pragma once

#include <cstdint>

// How well a typed word matches a unit label, best first.
enum class MatchRank : std::uint8_t {
    // Equal to one of the unit's names (also two or three typed words that make one, "fl oz"), or
    // the words typed are its whole label.
    Exact,
    // Equal to a word of its label, or to that word in the other number ("cup" of "Cups
    // (metric)"): a name says which unit is meant where a label word is shared ("miles" is the
    // name of Miles (international) and a word of Nautical miles).
    Word,
    // The start of a word of the label or of a name, or one word of a name of several ("oz" of
    // "fl oz").
    Prefix,
    // Its letters in order from the start of a label word, each further word entered at its
    // first letter ("kmph", "mtr"); not for numbers.
    InOrder,
    // One typo off a word of the label or a name (two for words of 8 letters or more); not for
    // numbers.
    Typo,
    None,
};
