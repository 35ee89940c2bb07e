#pragma once

#include <exception>
#include <string_view>

// The arithmetic fault of "%": an integer right operand of 0, or -2147483648 % -1. Detected
// before the division, so no hardware trap is ever involved.
class FormulaFault : public std::exception {
  public:
    const char* what() const noexcept override { return "integer remainder fault"; }
};

// Computes a postfix text as toPostfix writes it, on a stack of doubles. Returns 0 with result
// written; 1 when an operator finds fewer than two values or no value is left at all; 3 when an
// operand is not a number; 4 when values are left over, with result holding the topmost one.
// result is otherwise left as the caller set it. Throws FormulaFault for the fault of "%".
int evaluatePostfix(std::string_view postfix, double& result);

// The integer view of a double used by the integer operators: truncated toward zero to 64 bits,
// of which the low 32 are kept as a signed value. Infinities, NaN and values beyond 64 bits give 0.
int toFormulaInteger(double value);
