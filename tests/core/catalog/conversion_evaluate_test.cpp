#include "catalog/catalog.h"
#include "formula/working_text.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <string_view>

namespace {

struct Row {
    std::string_view formula;
    double value;
    double expected;
};

void expectConversions(const Row* begin, const Row* end) {
    for (const Row* row = begin; row != end; ++row) {
        ConversionCatalog catalog;
        const Conversion& conversion =
            catalog.addCategory("C").addConversion("n", "a", "b", row->formula);
        SCOPED_TRACE(testing::Message() << row->formula << " with " << row->value);
        EXPECT_DOUBLE_EQ(conversion.evaluate(row->value), row->expected);
    }
}

TEST(ConversionEvaluate, WorkingTextPutsTheValueInPlaceOfEveryX) {
    const struct {
        std::string_view formula;
        double value;
        std::string_view expected;
    } rows[] = {
        {"(x-32)*5/9", 212, "(212.000000-32)*5/9"},
        {"1/x", -5, "1/(-5.000000)"},
        {"x*x", 0.0000004, "0.0000004*0.0000004"},
        {"X*x+xx", 1, "X*1.000000+1.0000001.000000"},
        {"", 1, ""},
    };
    for (const auto& row : rows)
        EXPECT_EQ(makeWorkingText(row.formula, row.value), row.expected);
}

TEST(ConversionEvaluate, CatalogFormulas) {
    const Row rows[] = {
        {"x*0.3048", 10, 3.048},
        {"(x-32)*5/9", 212, 100},
        {"(x-32)*5/9", -40, -40},
        {"x*1.8+32", -40, -40},
        {"x*1000/3600", 90, 25},
        {"235.214583/x", 10, 23.5214583},
        {"(x+459.67)*5/9", 32, 273.15},
        {"x/1.609344", 1.609344, 1},
        {"1/x", 5, 0.2},
    };
    expectConversions(std::begin(rows), std::end(rows));
}

TEST(ConversionEvaluate, NegativeInputsWorkAfterAnOperator) {
    const Row rows[] = {
        {"1/x", -5, -0.2}, {"x*x", -3, 9},   {"2-x", -5, 7},
        {"x*x*x", -2, -8}, {"2-x", -0.0, 2}, {"1<<x", -1, -2147483648.0},
        {"x>>1", -5, -3},  {"x%3", -7, -1},  {"(x)", -1.5, -1.5},
    };
    expectConversions(std::begin(rows), std::end(rows));
}

TEST(ConversionEvaluate, InputsKeepTheirDigitsBeyondSixDecimals) {
    const Row rows[] = {
        {"x*1e6", 0.0000004, 0.4},
        {"x", 1.23456789, 1.23456789},
        {"x", 0.1, 0.1},
        {"x", 1e20, 1e20},
        {"x*1e30", 1e-30, 1},
        {"x", -1e-7, -1e-7},
        {"x", 4.9406564584124654e-324, 4.9406564584124654e-324},
    };
    expectConversions(std::begin(rows), std::end(rows));
}

TEST(ConversionEvaluate, FormulasThatCannotBeComputedGiveZero) {
    constexpr double Inf = std::numeric_limits<double>::infinity();
    const Row rows[] = {
        {"x%0", 5, 0},
        {"(x", 5, 0},
        {"x)", 5, 0},
        {"X*2", 5, 0},
        {"x*2,5", 5, 0},
        {"", 5, 0},
        {"()", 5, 0},
        {"x+", 5, 0},
        {"x", Inf, 0},
        {"x*2", -Inf, 0},
        {"2 x", std::nan(""), 0},
        {"1/x", Inf, 0},
    };
    expectConversions(std::begin(rows), std::end(rows));
}

TEST(ConversionEvaluate, LeftoverValuesGiveTheTopmostOne) {
    const Row rows[] = {
        {"x 2", 5, 2},
        {"2 x", 5, 5},
        {"x(x+1)", 5, 6},
    };
    expectConversions(std::begin(rows), std::end(rows));
}

} // namespace
