#pragma once

#include <string>
#include <string_view>

// Translates an infix formula (the value already in place of "x") into the postfix text that
// evaluatePostfix computes: each token preceded by one space. An operator with no operand before
// it, or right after another operator, gets an operand "0" first, which is how a leading minus
// works. Returns 0 on success, 1 for unbalanced parentheses, 3 for a character that begins no
// token; postfix is emptied first and holds a partial text after a failure.
int toPostfix(std::string_view infix, std::string& postfix);
