#include "formula/postfix_translator.h"

#include "formula/formula_code.h"
#include "formula/operator_table.h"
#include "formula/small_stack.h"

#include <cstddef>

namespace {

// Stack entries are operator indexes; the open parenthesis is 0, which no operator has.
constexpr int OpenParenthesis = 0;

void appendToken(std::string& postfix, std::string_view token) {
    postfix += ' ';
    postfix += token;
}

} // namespace

int toPostfix(std::string_view infix, std::string& postfix) {
    postfix.clear();
    postfix.reserve(2 * infix.size() + 4);
    SmallStack<int, 32> operators;
    bool lastWasOperator = false; // parentheses leave this as it is

    std::size_t pos = 0;
    while (pos < infix.size()) {
        const char c = infix[pos];
        if (formula_chars::isSpace(c)) {
            ++pos;
            continue;
        }
        if (c == '(') {
            operators.push(OpenParenthesis);
            ++pos;
            continue;
        }
        if (c == ')') {
            for (;;) {
                if (operators.empty()) return FormulaMissing;
                const int top = operators.pop();
                if (top == OpenParenthesis) break;
                appendToken(postfix, OperatorTable[top].text);
            }
            ++pos;
            continue;
        }
        const std::string_view rest = infix.substr(pos);
        if (const int k = matchOperator(rest); k >= 1) {
            if (postfix.empty() || lastWasOperator) appendToken(postfix, "0");
            lastWasOperator = true;
            pos += OperatorTable[k].text.size();
            const int precedence = OperatorTable[k].precedence;
            // Popping on equal precedence makes every operator left-associative.
            while (!operators.empty() && operators.top() != OpenParenthesis &&
                   OperatorTable[operators.top()].precedence >= precedence)
                appendToken(postfix, OperatorTable[operators.pop()].text);
            operators.push(k);
            continue;
        }
        const std::size_t length = scanOperand(rest);
        if (length == 0) return FormulaBadToken;
        lastWasOperator = false;
        appendToken(postfix, rest.substr(0, length));
        pos += length;
    }
    while (!operators.empty()) {
        const int top = operators.pop();
        if (top == OpenParenthesis) return FormulaMissing;
        appendToken(postfix, OperatorTable[top].text);
    }
    return FormulaOk;
}
