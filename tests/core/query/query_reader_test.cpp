#include "delivered_catalog.h"
#include "query/query_reader.h"
#include "query/unit_pair.h"

#include <cmath>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace {

TEST_F(DeliveredCatalog, ACompoundValueIsTheSumOfItsPartsInTheFromUnit) {
    const struct {
        const char* category;
        const char* unit;
        const char* text;
        double expected;
    } rows[] = {
        {"Length", "Feet (international)", "5 ft 11 in", 5 + 11 / 12.0},
        {"Length", "Feet (international)", "5'11\"", 5 + 11 / 12.0},
        // clang-format off
        {"Length", "Feet (international)", "5\xE2\x80\xB2" "11\xE2\x80\xB3", 5 + 11 / 12.0},
        // clang-format on
        {"Length", "Meters", "5 ft 11 in", 71 * 0.0254},
        {"Length", "Centimeters", "2", 2},
        {"Mass", "Pounds (avoirdupois)", "6 lb 4 oz", 6.25},
        {"Mass", "Kilograms", "11 st 4 lb", 158 * 0.45359237},
        {"Time", "Minutes", "1 h 30 min", 90},
        {"Time", "Hours", "2 d 4 h", 52},
        {"Angle", "Degrees", "3\xC2\xB0 30\xE2\x80\xB2 15\xE2\x80\xB3",
         3 + 30 / 60.0 + 15 / 3600.0},
        {"Volume", "Milliliters", "1 1/2 tsp", 1.5 * 4.92892159375},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        const Result<AmountRead> value = amount(row.text, row.category, row.unit);
        ASSERT_TRUE(value.ok()) << value.why();
        EXPECT_NEAR(value->value, row.expected, 1e-12 * row.expected);
    }
    EXPECT_EQ(amount("5 ft 11 in", "Length", "Meters")->readAs,
              "5 Feet (international) + 11 Inches (international)");
}

TEST_F(DeliveredCatalog, AValueThatCannotBeReadWhollyIsRefused) {
    const char* const texts[] = {"5 kg", "5 ft 11", "5 ft to m", "", "2^3 ft"};
    for (const char* text : texts) {
        const Result<AmountRead> value = amount(text, "Length", "Meters");
        EXPECT_FALSE(value.ok()) << text;
        EXPECT_FALSE(value.why().empty()) << text;
    }
}

TEST_F(DeliveredCatalog, APartOfAValueInSeveralUnitsIsAnAmountInAFallingUnit) {
    const struct {
        const char* category;
        const char* unit;
        const char* text;
        double expected; // NAN: refused
        const char* whyHas;
    } rows[] = {
        // clang-format off
        {"Temperature", "Kelvin", "5 \u00B0C 3 \u00B0F", NAN, "a zero of its own"},
        {"Temperature", "Degrees Celsius", "5 \u00B0C 3 \u00B0F", NAN, "a zero of its own"},
        {"Length", "Meters", "11 in 5 ft", NAN, "which is not larger"},
        {"Length", "Meters", "5 ft 6 ft", NAN, "comes twice"},
        {"Volume", "Milliliters", "1 ml 1 l", NAN, "which is not larger"},
        {"Length", "Centimeters", "-5 ft 11 in", -180.34, ""},
        {"Length", "Feet (international)", "-5'11\"", -(5 + 11 / 12.0), ""},
        {"Temperature", "Kelvin", "5 \u00B0C", 278.15, ""},
        // clang-format on
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        const Result<AmountRead> value = amount(row.text, row.category, row.unit);
        if (std::isnan(row.expected)) {
            EXPECT_FALSE(value.ok()) << value->value;
            EXPECT_NE(value.why().find(row.whyHas), std::string::npos) << value.why();
        } else {
            ASSERT_TRUE(value.ok()) << value.why();
            EXPECT_NEAR(value->value, row.expected, 1e-12 * std::fabs(row.expected));
        }
    }
    EXPECT_EQ(amount("-5 ft 11 in", "Length", "Meters")->readAs,
              "-(5 Feet (international) + 11 Inches (international))");
}

TEST_F(DeliveredCatalog, ATemperatureDifferenceIsReadOnlyWhereItIsMarked) {
    const double refused = NAN;
    const struct {
        const char* query;
        double expected;
        const char* category;
    } rows[] = {
        {"10 C\xC2\xB0 to F\xC2\xB0", 18, "Temperature difference"},
        {"\xCE\x94"
         "10 \xC2\xB0"
         "C to \xC2\xB0"
         "F",
         18, "Temperature difference"},
        {"10 delta C to F", 18, "Temperature difference"},
        {"what is 9 F\xC2\xBA in C\xC2\xBA", 5, "Temperature difference"},
        {"1 K\xC2\xB0 to R\xC2\xB0", 1.8, "Temperature difference"},
        // Unmarked, a temperature stays one.
        {"10 \xC2\xB0"
         "C to \xC2\xB0"
         "F",
         50, "Temperature"},
        {"100F to C", (100 - 32) / 1.8, "Temperature"},
        // A mark where no difference unit exists is refused, never read as the units themselves.
        {"10 delta m to ft", refused, nullptr},
        {"10 C\xC2\xB0 to m", refused, nullptr},
        {"10 deltas C to F", refused, nullptr},
        {"3 delta-v to m", refused, nullptr},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.query);
        const Result<QueryReading> reading = reader->conversion(row.query);
        if (std::isnan(row.expected)) {
            EXPECT_FALSE(reading.ok());
            continue;
        }
        ASSERT_TRUE(reading.ok()) << reading.why();
        EXPECT_EQ(reading->pair.category->name(), row.category);
        const Result<double> result = convertedValue(reading->pair, reading->value, row.query);
        ASSERT_TRUE(result.ok());
        EXPECT_NEAR(*result, row.expected, 1e-12 * std::fabs(row.expected));
    }
    // The command line's three arguments, and Find's reading of one side alone.
    EXPECT_EQ(reader
                  ->conversion("\xCE\x94"
                               "10",
                               "C", "F")
                  ->pair.toUnit,
              "Degrees Fahrenheit (difference)");
    const QueryReader::Readings alone = reader->everyReading("5 C\xC2\xB0");
    ASSERT_FALSE(alone.readings.empty());
    EXPECT_EQ(alone.readings.front().pair.fromUnit, "Degrees Celsius (difference)");
}

} // namespace
