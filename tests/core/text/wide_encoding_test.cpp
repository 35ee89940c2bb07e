#include "text/wide_encoding.h"

#include <gtest/gtest.h>
#include <string>

using namespace std::string_literals;

TEST(WideEncoding, NamesTheEncodingsThatUtf8TextNeverLooksLike) {
    const struct {
        std::string start;
        const char* encoding;
    } cases[] = {
        {"\xFF\xFEL\0e\0n\0"s, "UTF-16"},
        {"\xFE\xFF\0L\0e\0n"s, "UTF-16"},
        {"\xFF\xFE\0\0L\0\0\0"s, "UTF-32"},
        {"\0\0\xFE\xFF\0\0\0L"s, "UTF-32"},
        {"L\0e\0n\0g\0t\0h\0|\0f\0"s, "UTF-16"},
        {"L\0\0\0e\0\0\0n\0\0\0g\0\0\0"s, "UTF-32"},
        // UTF-8, with its own mark or accents, and a lone zero byte among letters.
        {"\xEF\xBB\xBFLength|m|Meters|Feet|x/0.3048"s, ""},
        {"Temp\u00E9rature|c|\u00B0C|K|x+273.15"s, ""},
        {"Length|m|Meters|Fe\0et|x"s, ""},
        {"L\0e\0"s, ""},
        {""s, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(wideEncodingOf(c.start), c.encoding) << c.start.size();
}
