#include "value/value_reader.h"

#include <gtest/gtest.h>
#include <string_view>

namespace {

TEST(ValueReader, ReadsValuesAsPeopleWriteThem) {
    const struct {
        std::string_view text;
        double expected;
    } rows[] = {
        // clang-format off
        {"2.5", 2.5}, {" -40 ", -40}, {"1e3", 1000}, {"5.", 5}, {".5", 0.5}, {"1/2", 0.5},
        {"1 1/2", 1.5}, {"-1 1/2", -1.5}, {"1\xC2\xBD", 1.5}, {"1 \xC2\xBE", 1.75},
        {"\xE2\x85\x9B", 0.125}, {"3*12", 36}, {"3 x 12", 36}, {"3\xC3\x97" "4", 12},
        {"9\xC3\xB7" "4", 2.25}, {"(2+3)/4", 1.25}, {"2**10", 1024}, {"-2**2", -4},
        {"2**-1", 0.5}, {"2 - 3 - 4", -5}, {"10 \xE2\x88\x92 4", 6},
        // clang-format on
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        const Result<double> read = readValue(row.text);
        EXPECT_TRUE(read.ok()) << read.why();
        EXPECT_DOUBLE_EQ(read.value(), row.expected);
    }
}

TEST(ValueReader, RefusesWhatItCannotReadWholly) {
    const struct {
        std::string_view text;
        std::string_view whyHas;
    } rows[] = {
        {"2^3", "exclusive or"}, {"12abc", "\"abc\""},         {"1,5", "comma"},
        {"", "No value"},        {"(1+2", "\")\" is missing"}, {"1/0", "too large"},
        {"0/0", "undefined"},    {"3 *", "missing"},           {"1.000,5", "\",5\""},
        {"1/2 1/4", "\"1/4\""},  {"1e999", "too large"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        const Result<double> read = readValue(row.text);
        EXPECT_FALSE(read.ok());
        EXPECT_NE(read.why().find(row.whyHas), std::string::npos) << read.why();
    }
    EXPECT_FALSE(readValue(std::string(5000, '(') + "1").ok());
}

TEST(ValueReader, TakesADecimalCommaOnlyWhereTheLocaleWritesOne) {
    EXPECT_DOUBLE_EQ(readValue("1,5", ',').value(), 1.5);
    EXPECT_DOUBLE_EQ(readValue("1.5", ',').value(), 1.5);
    EXPECT_FALSE(readValue("1,5", '.').ok());
}

TEST(ValueReader, SplitsAQuantityIntoNumbersAndUnits) {
    const struct {
        std::string_view text;
        std::string_view units;
        std::size_t end;
    } rows[] = {
        // clang-format off
        {"5 ft 11 in", "ft|in|", 10}, {"5'11\"", "ft|in|", 5},
        {"5\xE2\x80\xB2" "11\xE2\x80\xB3", "ft|in|", 9},
        {"3\xC2\xB0 30\xE2\x80\xB2 15\xE2\x80\xB3", "deg|arcmin|arcsec|", 15},
        {"6 lb 4 oz to kg", "lb|oz|", 9}, {"1 h 30 min", "h|min|", 10}, {"5 mi km", "mi km|", 7},
        {"100\xC2\xB0" "F", "\xC2\xB0" "F|", 6}, {"1/2 cup->ml", "cup|", 7}, {"12", "|", 2},
        // clang-format on
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        const Result<QuantityRead> read = readQuantity(row.text);
        ASSERT_TRUE(read.ok()) << read.why();
        std::string units;
        for (const ValuePart& part : read->parts)
            units += part.unit + "|";
        EXPECT_EQ(units, row.units);
        EXPECT_EQ(read->end, row.end);
    }
    EXPECT_FALSE(readQuantity("5 11 in").ok());
    EXPECT_FALSE(readQuantity("2^3 m").ok());
}

} // namespace
