#include "delivered_catalog.h"
#include "query/query_reader.h"

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

} // namespace
