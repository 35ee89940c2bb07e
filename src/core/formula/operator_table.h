#pragma once

#include "text/text_scan.h"

#include <array>
#include <cstddef>
#include <string_view>

// One operator of the formula language; a greater precedence binds tighter.
struct OperatorEntry {
    std::string_view text;
    int precedence;
};

// Entry 0 is no operator: its text is the set of characters operators are made of. Entries 1 to 21
// are the operators; an entry's index is what matchOperator returns for it. The levels are part of
// the formula language: "%" binds looser than "*", shifts tighter than "+", comparisons loosest.
inline constexpr std::array<OperatorEntry, 22> OperatorTable{{
    {"<>=*/%+-^&|\\!", -1},
    {"*", 19},
    {"/", 19},
    {"\\", 19},
    {"%", 18},
    {"<<", 17},
    {">>", 17},
    {"-", 16},
    {"+", 16},
    {"^", 15},
    {"&", 15},
    {"|", 15},
    {"!|", 15},
    {"&&", 14},
    {"||", 14},
    {"!&", 15},
    {"==", 13},
    {"<", 13},
    {">", 13},
    {">=", 13},
    {"!=", 13},
    {"<=", 13},
}};

namespace formula_chars {

enum : unsigned char { Space = 1, Operand = 2, Operator = 4 };

constexpr std::array<unsigned char, 256> makeClasses() {
    std::array<unsigned char, 256> classes{};
    for (unsigned char c : whiteSpace)
        classes[c] = Space;
    for (int c = 'a'; c <= 'z'; ++c)
        classes[c] = Operand;
    for (int c = 'A'; c <= 'Z'; ++c)
        classes[c] = Operand;
    for (int c = '0'; c <= '9'; ++c)
        classes[c] = Operand;
    classes['.'] = Operand;
    for (unsigned char c : OperatorTable[0].text)
        classes[c] = Operator;
    return classes;
}

// Classified by byte value alone, so no locale can change how a formula splits into tokens.
inline constexpr std::array<unsigned char, 256> classes = makeClasses();

inline bool isSpace(char c) {
    return classes[static_cast<unsigned char>(c)] == Space;
}
inline bool isOperand(char c) {
    return classes[static_cast<unsigned char>(c)] == Operand;
}
inline bool isOperator(char c) {
    return classes[static_cast<unsigned char>(c)] == Operator;
}

} // namespace formula_chars

// The index (1 to 21) of the operator made of the whole run of operator characters that begins
// rest, or -1. The run is never shortened, so "*-" or "<<=" match nothing.
int matchOperator(std::string_view rest);

// The length of the run of letters, digits and full stops that begins rest.
std::size_t scanOperand(std::string_view rest);
