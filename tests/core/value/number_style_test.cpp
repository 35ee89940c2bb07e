#include "value/number_style.h"
#include "value/result_text.h"

#include <gtest/gtest.h>

namespace {

NumberStyle significant(int digits) {
    NumberStyle style;
    style.significant = true;
    style.significantDigits = digits;
    return style;
}

NumberStyle scientific(NumberStyle style, int below, int from) {
    style.scientific = true;
    style.scientificBelow = below;
    style.scientificFrom = from;
    return style;
}

TEST(NumberStyle, WritesResultsInTheChosenStyle) {
    const struct {
        double value;
        int decimals;
        NumberStyle style;
        const char* expected;
    } cases[] = {
        // The default is the decimals the window always showed.
        {1234.5678, 2, {}, "1234.57"},
        {1e-9, 2, {}, "1e-09"},
        {0.000123456, 2, significant(3), "0.000123"},
        {123456.789, 2, significant(3), "123000"},
        {1.5, 2, significant(3), "1.50"},
        {999.96, 2, significant(3), "1000"},
        {0.0, 2, significant(4), "0.00"},
        {123456789012345.0, 2, significant(15), "123456789012345"},
        {1.23456e15, 2, scientific({}, -4, 12), "1.23e+15"},
        {0.00001234, 3, scientific({}, -4, 12), "1.234e-05"},
        {-4.5e13, 2, scientific(significant(4), -4, 12), "-4.500e+13"},
        {999999999999.9, 1, scientific({}, -4, 12), "999999999999.9"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(styledResultText(c.value, c.decimals, c.style), c.expected) << c.value;
    EXPECT_EQ(styledResultText(1234.5678, 2, {}), resultText(1234.5678, 2));
}

TEST(NumberStyle, GroupsTheDigitsBeforeTheSeparatorOnly) {
    const struct {
        const char* number;
        char decimal;
        const char* separator;
        const char* expected;
    } cases[] = {
        {"1234567.8901", '.', ",", "1,234,567.8901"},
        {"-1234,5", ',', ".", "-1.234,5"},
        {"123456", '.', "\xC2\xA0",
         "123\xC2\xA0"
         "456"},
        {"1.234e+15", '.', ",", "1.234e+15"},
        {"12345e-05", '.', ",", "12,345e-05"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(groupedDigits(c.number, c.decimal, c.separator), c.expected) << c.number;
}

} // namespace
