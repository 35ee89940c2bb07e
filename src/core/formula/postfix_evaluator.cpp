#include "formula/postfix_evaluator.h"

#include "formula/formula_code.h"
#include "formula/number_text.h"
#include "formula/operator_table.h"
#include "formula/small_stack.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>

namespace {

// The operators by their index in OperatorTable.
enum Operator {
    Multiply = 1,
    Divide,
    IntegerDivide,
    Remainder,
    ShiftLeft,
    ShiftRight,
    Subtract,
    Add,
    BitXor,
    BitAnd,
    BitOr,
    BitNotOr,
    LogicalAnd,
    LogicalOr,
    BitNotAnd,
    Equal,
    Less,
    Greater,
    GreaterEqual,
    NotEqual,
    LessEqual,
};

// NaN counts as false.
bool isTrue(double value) {
    return !std::isnan(value) && value != 0.0;
}

double fromBool(bool value) {
    return value ? 1.0 : 0.0;
}

// Every operand here is read as a 32-bit two's complement pattern, so the unsigned form makes
// shifts and complements free of undefined behaviour.
std::uint32_t bits(double value) {
    return static_cast<std::uint32_t>(toFormulaInteger(value));
}

double fromBits(std::uint32_t value) {
    return static_cast<std::int32_t>(value);
}

double apply(int op, double a, double b) {
    switch (op) {
    case Multiply:
        return a * b;
    case Divide:
        return a / b;
    case IntegerDivide:
        return toFormulaInteger(a / b);
    case Remainder: {
        const int left = toFormulaInteger(a);
        const int right = toFormulaInteger(b);
        if (right == 0 || (left == std::numeric_limits<int>::min() && right == -1))
            throw FormulaFault();
        return left % right;
    }
    case ShiftLeft:
        return fromBits(bits(a) << (bits(b) & 31u));
    case ShiftRight:
        // Arithmetic: the sign bit is copied in.
        return toFormulaInteger(a) >> (bits(b) & 31u);
    case Subtract:
        return a - b;
    case Add:
        return a + b;
    case BitXor:
        return fromBits(bits(a) ^ bits(b));
    case BitAnd:
        return fromBits(bits(a) & bits(b));
    case BitOr:
        return fromBits(bits(a) | bits(b));
    case BitNotOr:
        return fromBits(~(bits(a) | bits(b)));
    case LogicalAnd:
        return fromBool(isTrue(a) && isTrue(b));
    case LogicalOr:
        return fromBool(isTrue(a) || isTrue(b));
    case BitNotAnd:
        return fromBits(~(bits(a) & bits(b)));
    // With a NaN operand "==", "<" and "<=" hold and "!=", ">" and ">=" do not: each is the
    // negation of the ordered comparison that fails on NaN.
    case Equal:
        return fromBool(!(a < b || a > b));
    case Less:
        return fromBool(!(a >= b));
    case LessEqual:
        return fromBool(!(a > b));
    case NotEqual:
        return fromBool(a < b || a > b);
    case Greater:
        return fromBool(a > b);
    case GreaterEqual:
        return fromBool(a >= b);
    default:
        return 0.0; // unreachable: matchOperator gives only table indexes
    }
}

} // namespace

int toFormulaInteger(double value) {
    // 2^63: the truncation must lie in [-2^63, 2^63) to fit 64 bits.
    constexpr double Limit = 9223372036854775808.0;
    if (!std::isfinite(value)) return 0;
    const double truncated = std::trunc(value);
    if (truncated < -Limit || truncated >= Limit) return 0;
    const auto low = static_cast<std::uint32_t>(static_cast<std::int64_t>(truncated));
    return static_cast<std::int32_t>(low);
}

int evaluatePostfix(std::string_view postfix, double& result) {
    SmallStack<double, 32> values;
    std::size_t pos = 0;
    while (pos < postfix.size()) {
        if (formula_chars::isSpace(postfix[pos])) {
            ++pos;
            continue;
        }
        const std::string_view rest = postfix.substr(pos);
        if (const int k = matchOperator(rest); k >= 1) {
            if (values.size() < 2) return FormulaMissing;
            const double right = values.pop();
            double& left = values.top();
            left = apply(k, left, right);
            pos += OperatorTable[k].text.size();
            continue;
        }
        const std::size_t length = scanOperand(rest);
        double value = 0.0;
        if (length == 0 || !parseFormulaNumber(rest.substr(0, length), value))
            return FormulaBadToken;
        values.push(value);
        pos += length;
    }
    // No operand at all leaves nothing to deliver, which counts as a missing operand.
    if (values.empty()) return FormulaMissing;
    result = values.pop();
    return values.empty() ? FormulaOk : FormulaLeftover;
}
