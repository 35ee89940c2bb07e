#include "formula/postfix_translator.h"

#include <gtest/gtest.h>
#include <string>
#include <string_view>

namespace {

struct Row {
    std::string_view infix;
    std::string_view postfix;
};

void expectTranslations(const Row* begin, const Row* end) {
    for (const Row* row = begin; row != end; ++row) {
        SCOPED_TRACE(row->infix);
        std::string postfix = "stale";
        EXPECT_EQ(toPostfix(row->infix, postfix), 0);
        EXPECT_EQ(postfix, row->postfix);
    }
}

TEST(PostfixTranslator, PrecedenceLevelsAndLeftAssociativity) {
    const Row rows[] = {
        {"2+3", " 2 3 +"},
        {"10.000000*2.54", " 10.000000 2.54 *"},
        {"(212.000000-32)*5/9", " 212.000000 32 - 5 * 9 /"},
        {"a-b-c", " a b - c -"},
        {"8/4/2", " 8 4 / 2 /"},
        {"2*3%2", " 2 3 * 2 %"},
        {"7%2*3", " 7 2 3 * %"},
        {"1+1<<2", " 1 1 2 << +"},
        {"1<2&&0", " 1 2 0 && <"},
        {"1&&2|3", " 1 2 3 | &&"},
        {"6!&3||1", " 6 3 !& 1 ||"},
        {"2!=3", " 2 3 !="},
        {"6!&3", " 6 3 !&"},
        {"1 + 2\t*\n3", " 1 2 3 * +"},
    };
    expectTranslations(std::begin(rows), std::end(rows));
}

TEST(PostfixTranslator, OperatorWithoutOperandBeforeItGetsZero) {
    const Row rows[] = {
        {"-5*2", " 0 5 2 * -"},
        {"(-5-32)*5/9", " 0 5 - 32 - 5 * 9 /"},
        {"-5.000000*1.8+32", " 0 5.000000 1.8 * - 32 +"},
        {"2* -5", " 2 0 * 5 -"},
        {"3 - -2", " 3 0 - 2 -"},
        {"*3", " 0 3 *"},
        {"(-3)", " 0 3 -"},
        {"2*(-3)", " 2 0 3 - *"},
        {"(2)-3", " 2 3 -"},
        {"-", " 0 -"},
    };
    expectTranslations(std::begin(rows), std::end(rows));
}

TEST(PostfixTranslator, EmptyAndExtraOperandsTranslate) {
    const Row rows[] = {
        {"", ""}, {" \t ", ""}, {"()", ""}, {"2 3", " 2 3"}, {"2(3)", " 2 3"}, {"1e-5", " 1e 5 -"},
    };
    expectTranslations(std::begin(rows), std::end(rows));
}

TEST(PostfixTranslator, FailureCodes) {
    const struct {
        std::string_view infix;
        int code;
    } rows[] = {
        {"2*-5.000000", 3},
        {"2**3", 3},
        {"2=3", 3},
        {"2<>3", 3},
        {"2#3", 3},
        {"2,5", 3},
        {"2\xb7"
         "3",
         3},
        {"[2]", 3},
        {"(1+2", 1},
        {"1+2)", 1},
        {")", 1},
        {"((1)", 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.infix);
        std::string postfix;
        EXPECT_EQ(toPostfix(row.infix, postfix), row.code);
    }
}

TEST(PostfixTranslator, DeepNestingKeepsEveryOperator) {
    std::string infix;
    std::string expected;
    for (int i = 0; i < 100; ++i)
        infix += "1+(";
    infix += "1";
    for (int i = 0; i < 100; ++i) {
        infix += ")";
        expected += " 1";
    }
    expected += " 1";
    for (int i = 0; i < 100; ++i)
        expected += " +";
    std::string postfix;
    EXPECT_EQ(toPostfix(infix, postfix), 0);
    EXPECT_EQ(postfix, expected);
}

} // namespace
