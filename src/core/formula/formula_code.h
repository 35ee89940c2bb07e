#pragma once

#include <string_view>

// Result codes of the formula engine. 2 is not used.
enum FormulaCode : int {
    FormulaOk = 0,
    // Unbalanced parentheses, or an operator without two operands: "(1+2", "2 +" (postfix).
    FormulaMissing = 1,
    // A character that begins no token, or an operand that is not a number: "2#3", "1.2.3".
    FormulaBadToken = 3,
    // Values left over ("2 3", result holds 3), or an exception such as "5%0" (result unwritten).
    FormulaLeftover = 4,
};

// What a code of the engine means, in a few words for a message ("an unknown character or a
// malformed number"); "computed" for 0.
std::string_view formulaCodeMeaning(int code);
