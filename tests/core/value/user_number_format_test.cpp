#include "value/user_number_format.h"

#include <gtest/gtest.h>

namespace {

TEST(UserNumberFormat, ALocaleNameSaysHowItsPeopleWriteNumbers) {
    const struct {
        const char* locale;
        char decimal;
        char grouping;
        bool spaceGroups = false;
    } rows[] = {
        {"en_US.UTF-8", '.', ','},       {"en_GB", '.', ','},     {"de_DE.UTF-8", ',', '.'},
        {"fr_FR.UTF-8", ',', '.', true}, {"de_CH.UTF-8", '.', 0}, {"es_MX", '.', ','},
        {"pt_BR.UTF-8@euro", ',', '.'},  {"C", '.', 0},           {"POSIX", '.', 0},
        {"ru_RU", ',', '.', true},
    };
    for (const auto& row : rows) {
        const NumberFormat format = numberFormatOfLocaleName(row.locale);
        EXPECT_EQ(format.decimal, row.decimal) << row.locale;
        EXPECT_EQ(format.grouping, row.grouping) << row.locale;
        EXPECT_EQ(format.spaceGroups, row.spaceGroups) << row.locale;
    }
}

} // namespace
