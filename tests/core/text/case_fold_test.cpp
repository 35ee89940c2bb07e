#include "text/case_fold.h"

#include <gtest/gtest.h>
#include <string>

namespace {

TEST(CaseFold, FoldsTheCapitalsOfLatinGreekAndCyrillic) {
    const struct {
        std::string_view text;
        std::string_view folded;
    } rows[] = {
        {"Meters (US Survey) 1/72", "meters (us survey) 1/72"},
        {"\xC3\x85NGSTR\xC3\x96M", "\xC3\xA5ngstr\xC3\xB6m"},             // ÅNGSTRÖM
        {"\xC3\x97\xC3\x9F\xC2\xB5", "\xC3\x97\xC3\x9F\xC2\xB5"},         // ×ßµ stay
        {"\xC5\x81\xC3\x93\x44\xC5\xB9", "\xC5\x82\xC3\xB3\x64\xC5\xBA"}, // ŁÓDŹ
        {"\xC5\xB8", "\xC3\xBF"},                                         // Ÿ
        {"\xCE\x94\xCE\x95\xCE\x9B\xCE\xA4\xCE\x91", "\xCE\xB4\xCE\xB5\xCE\xBB\xCF\x84\xCE\xB1"},
        {"\xD0\x9C\xD0\x95\xD0\xA2\xD0\xA0", "\xD0\xBC\xD0\xB5\xD1\x82\xD1\x80"}, // МЕТР
        {"\xC5\x1A\xFF", "\xC5\x1A\xFF"}, // not UTF-8: unchanged
    };
    for (const auto& row : rows)
        EXPECT_EQ(foldCase(row.text), row.folded) << row.text;
    EXPECT_TRUE(equalIgnoringCase("Degrees CELSIUS", "degrees celsius"));
    EXPECT_FALSE(equalIgnoringCase("Meters", "Metres"));
}

} // namespace
