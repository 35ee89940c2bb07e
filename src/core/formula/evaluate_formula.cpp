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
