#include "formula/number_text.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <string_view>

namespace {

constexpr double Inf = std::numeric_limits<double>::infinity();

TEST(NumberText, FormatFixedIsPrintfFixedWithoutTheLocale) {
    const struct {
        double value;
        int decimals;
        std::string_view expected;
    } rows[] = {
        {3, 6, "3.000000"},
        {-40, 6, "-40.000000"},
        {1e20, 6, "100000000000000000000.000000"},
        {2.5, 0, "2"},
        {3.5, 0, "4"},
        {0.125, 2, "0.12"},
        {1.005, 2, "1.00"},
        {-0.0, 1, "-0.0"},
        {1234567.891, 3, "1234567.891"},
        {0.1, 20, "0.10000000000000000555"},
        {7, -3, "7"},
        {Inf, 2, "inf"},
        {-Inf, 2, "-inf"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.expected);
        EXPECT_EQ(formatFixed(row.value, row.decimals), row.expected);
    }
    const std::string manyDecimals = formatFixed(0.5, 3000);
    EXPECT_EQ(manyDecimals.size(), 3002u);
    EXPECT_EQ(manyDecimals.find_first_not_of('0', 3), std::string::npos);
}

TEST(NumberText, FormatInputValue) {
    const struct {
        double value;
        std::string_view expected;
    } rows[] = {
        {3, "3.000000"},
        {212, "212.000000"},
        {-40, "(-40.000000)"},
        {-0.0, "(-0.000000)"},
        {0.1, "0.100000"},
        {1e20, "100000000000000000000.000000"},
        {0.0000004, "0.0000004"},
        {1.23456789, "1.23456789"},
        {-1e-7, "(-0.0000001)"},
        {0.30000000000000004, "0.30000000000000004"},
        {Inf, "inf"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.expected);
        EXPECT_EQ(formatInputValue(row.value), row.expected);
    }
    double parsed = 0;
    EXPECT_FALSE(parseFormulaNumber(formatInputValue(std::nan("")), parsed));
}

TEST(NumberText, FormatInputValueReadsBackExactly) {
    // Values across the whole range, including ones whose six-decimal text loses digits.
    for (double magnitude = 5e-324; magnitude < 1e300; magnitude *= 7.389056098930650) {
        for (const double value : {magnitude, -magnitude}) {
            const std::string text = formatInputValue(value);
            SCOPED_TRACE(text);
            const bool wrapped = text.front() == '(';
            EXPECT_EQ(wrapped, value < 0);
            const std::string_view inner = wrapped
                                               ? std::string_view(text).substr(1, text.size() - 2)
                                               : std::string_view(text);
            EXPECT_EQ(readLeadingNumber(inner), value);
            EXPECT_EQ(inner.find_first_of("eE"), std::string_view::npos);
            EXPECT_GE(inner.size() - inner.find('.') - 1, 6u);
        }
    }
}

TEST(NumberText, ReadLeadingNumberReadsLikeAtofInTheCLocale) {
    const struct {
        std::string_view text;
        double expected;
        std::size_t read; // characters taken, blanks and sign included
    } rows[] = {
        {"12.5kg", 12.5, 4},
        {"  -3e2x", -300, 6},
        {"+7", 7, 2},
        {"1e", 1, 1},
        {"1e+", 1, 1},
        {"1e+2", 100, 4},
        {"1E-2", 0.01, 4},
        {".5", 0.5, 2},
        {"5.", 5, 2},
        {"\t\n\v\f\r 4", 4, 7},
        {"1,5", 1, 1},
        {"0x10", 0, 1},
        {".", 0, 0},
        {"-", 0, 0},
        {"", 0, 0},
        {"abc", 0, 0},
        {"inf", 0, 0},
        {"nan", 0, 0},
        {"- 5", 0, 0},
        {"1e999", Inf, 5},
        {"-1e999", -Inf, 6},
        {"1e-999", 0, 6},
        {"1e99999999999999999999", Inf, 22},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(readLeadingNumber(row.text), row.expected);
        EXPECT_EQ(leadingNumberLength(row.text), row.read);
    }
    EXPECT_TRUE(std::signbit(readLeadingNumber("-0")));
    // Long digit runs whose exponent brings them back into range, or out of it.
    EXPECT_EQ(readLeadingNumber("0." + std::string(342, '0') + "1e400"), 1e57);
    EXPECT_EQ(readLeadingNumber(std::string(400, '9') + "e-700"), 1e-300);
    EXPECT_EQ(readLeadingNumber("0." + std::string(400, '0') + "1"), 0);
    EXPECT_EQ(readLeadingNumber("1" + std::string(400, '0')), Inf);
}

TEST(NumberText, FormatExactKeepsFifteenDigitsAndSwitchesToExponentsAtTheEdges) {
    const struct {
        double value;
        const char* expected;
    } rows[] = {
        {3e-9, "3e-09"},
        {9460730472580.8, "9460730472580.8"},
        {0.0001, "0.0001"},
        {0.00009, "9e-05"},
        {999999999999999.0, "999999999999999"},
        {1e15, "1e+15"},
        {-2.5, "-2.5"},
        {1.0 / 3.0, "0.333333333333333"},
        {0.1 + 0.2, "0.3"},
        {-0.0, "0"},
        {Inf, "inf"},
        {-Inf, "-inf"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.expected);
        EXPECT_EQ(formatExact(row.value), row.expected);
    }
}

TEST(NumberText, ParseFormulaNumberAcceptsOnlyTheNumberGrammar) {
    for (const std::string_view text : {"5", "5.", "5.25", ".5", "1e3", "2E10", "007", "1.5e0"}) {
        SCOPED_TRACE(text);
        double value = -1;
        EXPECT_TRUE(parseFormulaNumber(text, value));
        EXPECT_EQ(value, readLeadingNumber(text));
    }
    for (const std::string_view text : {"", ".", "1.2.3", "1e", "e3", "1e+3", "-1", "+1", " 1",
                                        "1 ", "0x1p3", "inf", "nan", "1,5", "2pi", "1e3.5"}) {
        SCOPED_TRACE(text);
        double value = -1;
        EXPECT_FALSE(parseFormulaNumber(text, value));
        EXPECT_EQ(value, -1);
    }
}

} // namespace
