#include "formula/evaluate_formula.h"
#include "formula/postfix_evaluator.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <string_view>

namespace {

constexpr double Unwritten = -12345.5;
constexpr double Inf = std::numeric_limits<double>::infinity();

struct Row {
    std::string_view formula;
    double expected;
};

// Each formula goes through the whole engine and must succeed with exactly the expected value.
void expectResults(const Row* begin, const Row* end) {
    for (const Row* row = begin; row != end; ++row) {
        SCOPED_TRACE(row->formula);
        double result = Unwritten;
        EXPECT_EQ(evaluateFormula(row->formula, result), FormulaOk);
        EXPECT_EQ(result, row->expected);
    }
}

TEST(PostfixEvaluator, Arithmetic) {
    const Row rows[] = {
        {"2+3", 5},
        {"7-2-1", 4},
        {"8/4/2", 1},
        {"2*3%4", 2},
        {"7%2*3", 1},
        {"1+1<<2", 5},
        {"-5*2", -10},
        {"3 - -2", 1},
        {"2* -5", -5},
        {"1/0", Inf},
        {"(0-1)/0", -Inf},
        {"1e308*10", Inf},
        {"0.1+0.2", 0.1 + 0.2},
        {"1e999", Inf},
        {"5.", 5},
        {".5", 0.5},
        {"2E3", 2000},
        {"(2)", 2},
    };
    expectResults(std::begin(rows), std::end(rows));
}

TEST(PostfixEvaluator, IntegerOperatorsTruncateToSigned32Bits) {
    const Row rows[] = {
        {"7\\2", 3},
        {"7.9\\2", 3},
        {"5\\0", 0},
        {"0\\0", 0},
        {"(0-7)\\2", -3},
        {"7%3", 1},
        {"7.9%2.5", 1},
        {"(0-7)%3", -1},
        {"7%(0-3)", 1},
        {"7.9|0", 7},
        {"(0-7.9)|0", -7},
        {"2147483648|0", -2147483648.0},
        {"4294967296|0", 0},
        {"4294967297|0", 1},
        {"1e20|0", 0},
        {"9223372036854774784|0", -1024},
        {"9223372036854775808|0", 0},
        {"(1/0)|5", 5},
        {"(0/0)|5", 5},
        {"(0-2147483649)|0", 2147483647},
    };
    expectResults(std::begin(rows), std::end(rows));
}

TEST(PostfixEvaluator, BitwiseOperators) {
    const Row rows[] = {
        {"6^3", 5},   {"6&3", 2},   {"6|3", 7},         {"6!&3", -3},
        {"6!|3", -8}, {"0!|0", -1}, {"(0-1)&255", 255}, {"6^3^3", 6},
    };
    expectResults(std::begin(rows), std::end(rows));
}

TEST(PostfixEvaluator, ShiftsUseTheLowFiveBitsIn32Bits) {
    const Row rows[] = {
        {"1<<33", 2},           {"1<<31", -2147483648.0}, {"1<<32", 1},
        {"3<<30", -1073741824}, {"(0-8)>>1", -4},         {"(0-1)>>31", -1},
        {"(0-5)>>1", -3},       {"256>>33", 128},         {"1<<(0-1)", -2147483648.0},
        {"(0-1)<<1", -2},       {"5<<1.9", 10},
    };
    expectResults(std::begin(rows), std::end(rows));
}

TEST(PostfixEvaluator, ComparisonsAndLogic) {
    const Row rows[] = {
        {"2<3", 1},    {"3<=2", 0}, {"2==2", 1},   {"2!=2", 0},         {"3>2", 1},
        {"2>=3", 0},   {"2<=2", 1}, {"2>=2", 1},   {"2&&0.5", 1},       {"0||0", 0},
        {"0||0.1", 1}, {"2&&0", 0}, {"1<2&&0", 0}, {"(1/0)==(1/0)", 1},
    };
    expectResults(std::begin(rows), std::end(rows));
}

TEST(PostfixEvaluator, NaNOperandsFollowOneRulePerOperator) {
    const Row rows[] = {
        {"(0/0)==1", 1}, {"(0/0)<1", 1},  {"(0/0)<=1", 1}, {"1==(0/0)", 1},
        {"(0/0)!=1", 0}, {"(0/0)>1", 0},  {"(0/0)>=1", 0}, {"1!=(0/0)", 0},
        {"(0/0)&&1", 0}, {"(0/0)||0", 0}, {"(0/0)||1", 1},
    };
    expectResults(std::begin(rows), std::end(rows));
}

TEST(PostfixEvaluator, CodesOnPostfixTexts) {
    const struct {
        std::string_view postfix;
        int code;
        double result;
    } rows[] = {
        {" 2 +", 1, Unwritten},    {" +", 1, Unwritten}, {"", 1, Unwritten}, {"   ", 1, Unwritten},
        {" 1e 5 -", 3, Unwritten}, {" 2 3", 4, 3},       {" 1 2 3 +", 4, 5}, {" 2 (", 3, Unwritten},
        {" 2 *-", 3, Unwritten},   {" 2 3 +", 0, 5},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.postfix);
        double result = Unwritten;
        EXPECT_EQ(evaluatePostfix(row.postfix, result), row.code);
        EXPECT_EQ(result, row.result);
    }
}

TEST(PostfixEvaluator, OperandsOutsideTheNumberGrammarGiveCode3) {
    for (const std::string_view operand :
         {"1.2.3", "1e", ".", "2pi", "X", "x", "0x10", "inf", "nan", "infinity", "1e5e5", "e5"}) {
        SCOPED_TRACE(operand);
        double result = Unwritten;
        EXPECT_EQ(evaluateFormula(std::string(operand) + "+1", result), FormulaBadToken);
        EXPECT_EQ(result, Unwritten);
    }
}

TEST(PostfixEvaluator, RemainderFaultIsAnExceptionThatTheEngineTurnsIntoCode4) {
    for (const std::string_view postfix : {" 5 0 %", " 5 0.9 %", " 0 2147483648 - 0 1 - %"}) {
        SCOPED_TRACE(postfix);
        double result = Unwritten;
        EXPECT_THROW(evaluatePostfix(postfix, result), FormulaFault);
        EXPECT_EQ(result, Unwritten);
    }
    for (const std::string_view formula : {"5%0", "1+5%0", "-2147483648%(0-1)", "2%(1/0)"}) {
        SCOPED_TRACE(formula);
        double result = Unwritten;
        EXPECT_EQ(evaluateFormula(formula, result), FormulaLeftover);
        EXPECT_EQ(result, Unwritten);
    }
}

TEST(PostfixEvaluator, TranslationCodesStopTheEngine) {
    const struct {
        std::string_view formula;
        int code;
        double result;
    } rows[] = {
        {"(1+2", 1, Unwritten}, {"2*-5", 3, Unwritten}, {"", 1, Unwritten},
        {"()", 1, Unwritten},   {"2 3", 4, 3},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.formula);
        double result = Unwritten;
        EXPECT_EQ(evaluateFormula(row.formula, result), row.code);
        EXPECT_EQ(result, row.result);
    }
}

TEST(PostfixEvaluator, DeepStacksBeyondTheInlineCapacity) {
    std::string postfix;
    for (int i = 1; i <= 200; ++i)
        postfix += " " + std::to_string(i);
    for (int i = 1; i < 200; ++i)
        postfix += " +";
    double result = Unwritten;
    EXPECT_EQ(evaluatePostfix(postfix, result), FormulaOk);
    EXPECT_EQ(result, 200 * 201 / 2);
}

} // namespace
