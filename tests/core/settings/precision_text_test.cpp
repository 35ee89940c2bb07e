#include "settings/precision_text.h"
#include "text/text_scan.h"

#include <climits>
#include <gtest/gtest.h>
#include <string>

namespace {

TEST(PrecisionText, LeadingIntegerReadsLikeAtoiWithoutTheLocale) {
    const struct {
        std::string_view text;
        int value;
    } rows[] = {
        {"3", 3},
        {"03", 3},
        {"0003", 3},
        {"31", 31},
        {"", 0},
        {"abc", 0},
        {"  \t2", 2},
        {"+4", 4},
        {"-2", -2},
        {"- 2", 0},
        {"2.9", 2},
        {"3,5", 3},
        {"4x", 4},
        {"2147483647", INT_MAX},
        {"2147483648", INT_MAX},
        {"4294967297", INT_MAX},
        {"99999999999999999999999", INT_MAX},
        {"-99999999999999999999999", INT_MIN},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(leadingInteger(row.text), row.value);
    }
}

TEST(PrecisionText, AcceptsOnlyNumbersFromOneToFour) {
    const struct {
        std::string_view text;
        std::optional<int> precision;
    } rows[] = {
        {"1", 1},
        {"4", 4},
        {"03", 3},
        {"0", std::nullopt},
        {"", std::nullopt},
        {"5", std::nullopt},
        {"31", std::nullopt},
        {"034", std::nullopt},
        {"4294967298", std::nullopt},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(acceptedPrecision(row.text), row.precision);
    }
}

} // namespace
