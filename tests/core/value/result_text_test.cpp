#include "delivered_catalog.h"
#include "formula/number_text.h"
#include "query/query_reader.h"
#include "value/result_text.h"

#include <cmath>
#include <gtest/gtest.h>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace {

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

// Any result printed in parts and read back is the same quantity, to the precision printed; each
// part below one of the part above, and none of it shown as zero when the whole is not.
TEST_F(DeliveredCatalog, ASplitResultReadsBackAsTheSameQuantity) {
    const struct {
        const char* category;
        const char* unit;
        std::vector<double> sizes;
        std::vector<std::string> symbols;
    } splits[] = {
        // clang-format off
        {"Length", "Feet (international)", {1, 1 / 12.0}, {" ft", " in"}},
        {"Mass", "Pounds (avoirdupois)", {1, 1 / 16.0}, {" lb", " oz"}},
        {"Time", "Hours", {1, 1 / 60.0, 1 / 3600.0}, {" h", " min", " s"}},
        {"Angle", "Degrees", {1, 1 / 60.0, 1 / 3600.0}, {"\u00B0", "\u2032", "\u2033"}},
        // clang-format on
    };
    std::mt19937_64 random(20240611);
    std::uniform_real_distribution<double> exponent(-10, 13);
    int checked = 0;
    for (const auto& split : splits)
        for (int i = 0; i < 300; ++i) {
            const double value = (i % 2 ? -1 : 1) * std::pow(10.0, exponent(random));
            for (const int decimals : {-1, 0, 1, 4}) {
                const std::vector<std::string> parts = splitTexts(value, split.sizes, decimals);
                const double last = split.sizes.back();
                SCOPED_TRACE(std::to_string(value) + " with " + std::to_string(decimals));
                if (std::fabs(value) / last >= maxSplitCount) {
                    EXPECT_TRUE(parts.empty());
                    continue;
                }
                ASSERT_EQ(parts.size(), split.sizes.size());
                std::string text;
                bool allZero = true;
                for (std::size_t p = 0; p < parts.size(); ++p) {
                    text += (p ? " " : "") + parts[p] + split.symbols[p];
                    const double shown = std::fabs(readLeadingNumber(parts[p]));
                    allZero = allZero && shown == 0;
                    if (p > 0) {
                        EXPECT_LT(shown * split.sizes[p], split.sizes[p - 1]) << text;
                    }
                }
                EXPECT_FALSE(allZero) << text;
                const Result<AmountRead> back = amount(text, split.category, split.unit);
                ASSERT_TRUE(back.ok()) << text << ": " << back.why();
                // Half a unit of the last decimal, or the digits of a part shown in significant
                // digits, and the rounding of the numbers themselves.
                double tolerance = 1e-13 * std::fabs(value);
                if (decimals >= 0) tolerance += 0.5 * std::pow(10.0, -decimals) * last;
                if (parts.back().find('e') != std::string::npos)
                    tolerance += 5e-3 * std::fabs(value);
                EXPECT_NEAR(back->value, value, tolerance) << text;
                ++checked;
            }
        }
    EXPECT_GT(checked, 4000);
    // A carry across two parts, the bound, and no number at all.
    const std::vector<double> hms{1, 1 / 60.0, 1 / 3600.0};
    EXPECT_EQ(splitTexts(1 + 59 / 60.0 + 59.99999 / 3600, hms, 1),
              (std::vector<std::string>{"2", "0", "0.0"}));
    for (const double value : {1e15 / 3600, 1e300, HUGE_VAL, std::nan("")})
        EXPECT_TRUE(splitTexts(value, hms, 2).empty()) << value;
}

} // namespace
