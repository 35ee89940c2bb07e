#include "formula/formula_code.h"

std::string_view formulaCodeMeaning(int code) {
    switch (code) {
    case FormulaOk:
        return "computed";
    case FormulaMissing:
        return "unbalanced parentheses or an operator without its operands";
    case FormulaBadToken:
        return "a character that begins no token, or an operand that is not a number";
    case FormulaLeftover:
        return "values left over, or an operation that cannot be done (such as % by 0)";
    default:
        return "an unknown engine code";
    }
}
