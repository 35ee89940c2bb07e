#include "formula/evaluate_formula.h"

#include "formula/postfix_evaluator.h"
#include "formula/postfix_translator.h"

#include <string>

int evaluateFormula(std::string_view text, double& result) {
    try {
        std::string postfix;
        const int code = toPostfix(text, postfix);
        if (code != FormulaOk) return code;
        return evaluatePostfix(postfix, result);
    } catch (...) {
        // The fault of "%" or an exhausted heap: no value, and nothing escapes to the window.
        return FormulaLeftover;
    }
}

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
