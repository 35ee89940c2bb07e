#include "formula/number_text.h"
#include "value/value_reader.h"

#include <cmath>
#include <gtest/gtest.h>
#include <string>
#include <string_view>

namespace {

TEST(ValueReader, ReadsValuesAsPeopleWriteThem) {
    const struct {
        std::string_view text;
        double expected;
    } rows[] = {
        // clang-format off
        {"2.5", 2.5}, {" -40 ", -40}, {"1e3", 1000}, {"5.", 5}, {".5", 0.5}, {"1/2", 0.5},
        // clang-format off
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
        // clang-format off
        {"2^3", "exclusive or"}, {"12abc", "\"abc\""},         {"1,5", "comma"},
        {"", "No value"},        {"(1+2", "\")\" is missing"}, {"1/0", "too large"},
        {"0/0", "undefined"},    {"3 *", "missing"},           {"1.000,5", "\",5\""},
        {"1/2 1/4", "\"1/4\""},  {"1e999", "too large"},
        // clang-format on
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
        // clang-format off
        {"5\xE2\x80\xB2" "11\xE2\x80\xB3", "ft|in|", 9},
        {"3\xC2\xB0 30\xE2\x80\xB2 15\xE2\x80\xB3", "deg|arcmin|arcsec|", 15},
        {"6 lb 4 oz", "lb|oz|", 9}, {"1 h 30 min", "h|min|", 10}, {"5 mi km", "mi km|", 7},
        {"100\xC2\xB0" "F", "\xC2\xB0" "F|", 6}, {"1/2 cup", "cup|", 7}, {"12", "|", 2},
        // clang-format on
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

// No text, however long or deep, reads as a number other than the one written: each is refused
// with its reason.
TEST(ValueReader, RefusesWhatHasNoSureReading) {
    const std::string zeros(400, '0');
    const std::pair<std::string, std::string> rows[] = {
        // Bounds: length, and depth counted for every sign as for parentheses.
        // clang-format off
        {"0" + std::string(60000, '-') + "1", "longer than 1000"},
        {"0" + std::string(600, '-') + "1", "nests too deeply"},
        {std::string(60, '-') + "1", "nests too deeply"},
        {std::string(51, '(') + "1" + std::string(51, ')'), "nests too deeply"},
        {std::string(26, '(') + "-" + std::string(25, '(') + "1" + std::string(51, ')'),
         "nests too deeply"},
        // The range of the number read, not of its text.
        {"1" + zeros + "e-10", "too large"}, {"1e-310", "too small"},
        {"1" + zeros + "e-800", "too small"}, {"1/(1e300*1e300)", "too large"},
        {"1e-200*1e-200", "too small"}, {"1e-200**2", "too small"},
        {"1 1" + zeros + "/3", "\"1" + zeros + "/3\""},
        // clang-format on
    };
    for (const auto& [text, whyHas] : rows) {
        const Result<double> read = readValue(text);
        EXPECT_FALSE(read.ok()) << read.value();
        EXPECT_NE(read.why().find(whyHas), std::string::npos) << text.substr(0, 40) << read.why();
    }
    EXPECT_DOUBLE_EQ(readValue("0e999999").value(), 0);
    EXPECT_DOUBLE_EQ(readValue("0." + zeros + "1e400").value(), 0.1);
    EXPECT_DOUBLE_EQ(readValue("1" + zeros + "e-300").value(), 1e100);
    EXPECT_DOUBLE_EQ(readValue(std::string(20, '-') + "1").value(), 1);
    EXPECT_DOUBLE_EQ(readValue(std::string(50, '(') + "2" + std::string(50, ')')).value(), 2);
}

// Thousands separators: whole groups of three after one to three digits, in the separator the
// locale does not take for decimals; anything that could be read two ways is refused.
TEST(ValueReader, ReadsThousandsOnlyInTheLocalesGroupsOfThree) {
    const NumberFormat english('.', ',');
    const NumberFormat german(',', '.');
    const NumberFormat unknown('.', '\0');
    const NumberFormat french(',', '\0', true);
    const struct {
        std::string_view text;
        NumberFormat format;
        double expected; // NAN: refused
    } rows[] = {
        // clang-format off
        {"1,000", english, 1000}, {"12,500", english, 12500}, {"1,000,000.5", english, 1000000.5},
        {"1.5", english, 1.5}, {"1,000 1/2", english, 1000.5}, {"1,5", english, NAN},
        {"1,0000", english, NAN}, {"1,000,00", english, NAN}, {"0,500", english, NAN},
        {"1,000e3", english, NAN},
        // Under a decimal comma, a point that could part decimals or thousands is refused.
        {"1.000", german, NAN}, {"12.500", german, NAN}, {"1.500", german, NAN},
        {"1.234.567", german, 1234567}, {"1.000,5", german, 1000.5},
        {"1.5", german, 1.5}, {"1,5", german, 1.5}, {"1,000", german, 1}, {"0.500", german, 0.5},
        {".500", german, 0.5}, {"1234.567", german, NAN}, {"1.000.5", german, NAN},
        {"1.000e3", german, NAN}, {"1,000", unknown, NAN}, {"1.000", unknown, 1},
        {"1,000", NumberFormat('.'), 1000}, {"1.000", NumberFormat(','), NAN},
        // The same rule for every locale that writes decimals with a comma, and a no-break
        // space that groups where the locale groups with one.
        {"1.500", french, NAN}, {"1.000.000", french, 1000000}, {"1,5", french, 1.5},
        {"12\xC2\xA0" "500", french, 12500}, {"1\xE2\x80\xAF" "000,5", french, 1000.5},
        {"12\xC2\xA0" "50", french, NAN}, {"12\xC2\xA0" "500", german, NAN},
        // A hyphen joins a whole number and a fraction; with blanks it is a difference.
        {"1-1/2", english, 1.5}, {"-1-1/2", english, -1.5}, {"1 - 1/2", english, 0.5},
        {"3*1-1/2", english, 2.5},
        // clang-format on
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.text) + " with " + row.format.decimal + " " +
                     (row.format.grouping ? row.format.grouping : '-'));
        const Result<double> read = readValue(row.text, row.format);
        if (std::isnan(row.expected)) {
            EXPECT_FALSE(read.ok()) << read.value();
            EXPECT_FALSE(read.why().empty());
        } else {
            ASSERT_TRUE(read.ok()) << read.why();
            EXPECT_EQ(read.value(), row.expected);
        }
    }
}

// A value in several units is its parts one after the other: a sign leads the whole, anything
// else between the parts is refused rather than dropped.
TEST(ValueReader, ReadsAQuantityOfSeveralPartsAsOneOrRefusesIt) {
    const struct {
        std::string_view text;
        std::string_view values;
        bool negative;
    } read[] = {
        // clang-format off
        {"-5 ft 11 in", "-5|-11|", true}, {"\u22125\u203211\u2033", "-5|-11|", true},
        {"- 5'11\"", "-5|-11|", true}, {"+5 ft 11 in", "5|11|", false},
        {"5 ft 3 1/2 in", "5|3.5|", false}, {"-3 ft", "-3|", false}, {"3*12 in", "36|", false},
        {"10 -2 m", "8|", false},
        // clang-format on
    };
    for (const auto& row : read) {
        SCOPED_TRACE(row.text);
        const Result<QuantityRead> quantity = readWholeQuantity(row.text);
        ASSERT_TRUE(quantity.ok()) << quantity.why();
        std::string values;
        for (const ValuePart& part : quantity->parts)
            values += formatExact(part.value) + "|";
        EXPECT_EQ(values, row.values);
        EXPECT_EQ(quantity->negative, row.negative);
    }
    const std::pair<std::string_view, std::string_view> refused[] = {
        // clang-format off
        {"10 m - 2 m", "\"-\" stands between"}, {"1 h - 30 min", "\"-\" stands between"},
        {"10 m -2 m", "\"-\" stands between"}, {"5 ft -11 in", "\"-\" stands between"},
        {"5 ft + 11 in", "\"+\" stands between"}, {"10 m / 2 m", "\"/\" stands between"},
        {"10 m * 2 m", "\"*\" stands between"}, {"10 m ** 2 m", "\"**\" stands between"},
        {"10 m ^ 2 m", "\"^\" stands between"}, {"10 m , 2 m", "\",\" stands between"},
        {"10 m, 2 m", "\"m,\" stands between"}, {"10 m & 2 m", "\"&\" stands between"},
        {"10 m x 2 m", "\"x\" stands between"}, {"10m-2m", "\"m-2m\" stands between"},
        {"5 m-", "\"m-\" stands between"}, {"10 m = 2 m", "\"=\" stands between"},
        {"(2+3) ft 11 in", "is not"}, {"5 ft 2*3 in", "is not"}, {"--5 ft 11 in", "is not"},
        // clang-format on
    };
    for (const auto& [text, whyHas] : refused) {
        const Result<QuantityRead> quantity = readWholeQuantity(text);
        EXPECT_FALSE(quantity.ok());
        EXPECT_NE(quantity.why().find(whyHas), std::string::npos) << text << quantity.why();
    }
}

} // namespace
