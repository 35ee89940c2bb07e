#include "catalog/catalog.h"
#include "search/quantity_value.h"
#include "search/unit_names.h"
#include "value/result_text.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// The delivered catalog and names: the units people write are those of the real categories.
class DeliveredCatalog : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(catalog.load(VELMORA_DATA "/conv.txt"));
        names = readUnitNames(VELMORA_DATA "/names.txt");
    }
    const Category& category(const char* name) { return *catalog.findCategory(name); }
    ConversionCatalog catalog;
    UnitNames names;
};

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
        const Result<QuantityValue> value =
            readValueIn(row.text, '.', category(row.category), row.unit, names);
        ASSERT_TRUE(value.ok()) << value.why();
        EXPECT_NEAR(value->value, row.expected, 1e-12 * row.expected);
    }
    EXPECT_EQ(readValueIn("5 ft 11 in", '.', category("Length"), "Meters", names)->readAs,
              "5 Feet (international) + 11 Inches (international)");
}

TEST_F(DeliveredCatalog, AValueThatCannotBeReadWhollyIsRefused) {
    const char* const texts[] = {"5 kg", "5 ft 11", "5 ft to m", "", "2^3 ft"};
    for (const char* text : texts) {
        const Result<QuantityValue> value =
            readValueIn(text, '.', category("Length"), "Meters", names);
        EXPECT_FALSE(value.ok()) << text;
        EXPECT_FALSE(value.why().empty()) << text;
    }
}

TEST_F(DeliveredCatalog, AResultIsNeverShownAsZeroAndSomeUnitsAlsoInTwoParts) {
    const struct {
        double value;
        int decimals;
        const char* expected;
    } results[] = {
        // clang-format off
        {0.000293071, 1, "0.000293"}, {1.0570008340246e-13, 4, "1.06e-13"}, {-0.00004, 2, "-4e-05"},
        {0.9144, 1, "0.9"}, {0, 2, "0.00"}, {2.5e-5, 4, "2.5e-05"},
        // clang-format on
    };
    for (const auto& row : results)
        EXPECT_EQ(resultText(row.value, row.decimals), row.expected) << row.value;
    const struct {
        const char* category;
        const char* unit;
        double value;
        int decimals;
        const char* expected;
    } twoParts[] = {
        {"Length", "Feet (international)", 5.905, 1, "5 ft 10.9 in"},
        {"Length", "Feet (international)", 5.99999, 1, "6 ft 0.0 in"},
        {"Mass", "Pounds (avoirdupois)", 6.25, 1, "6 lb 4.0 oz"},
        {"Mass", "Stones (imperial)", 11 + 4 / 14.0, 0, "11 st 4 lb"},
        {"Time", "Hours", 1.5, 2, "1 h 30.00 min"},
        {"Angle", "Degrees", 3.5, 0, "3\xC2\xB0 30\xE2\x80\xB2"},
        {"Length", "Meters", 1.5, 1, ""},
    };
    for (const auto& row : twoParts)
        EXPECT_EQ(twoPartText(row.value, category(row.category), row.unit, row.decimals),
                  row.expected);
    EXPECT_EQ(splitTexts(100 / 60.0, {1, 1 / 60.0, 1 / 3600.0}, 0),
              (std::vector<std::string>{"1", "40", "0"}));
}

} // namespace
