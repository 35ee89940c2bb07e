#include "text/search_text.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using Texts = std::vector<std::string>;

TEST(SearchText, LabelsSplitIntoFoldedWordsOfLettersAndDigits) {
    EXPECT_EQ(searchWords("Inches (international)"), (Texts{"inches", "international"}));
    EXPECT_EQ(searchWords("Points (1/72 inch)"), (Texts{"points", "1", "72", "inch"}));
    EXPECT_EQ(searchWords("Kilowatt-hours"), (Texts{"kilowatt", "hours"}));
    EXPECT_EQ(searchWords("\xC3\x85ngstr\xC3\xB6m"), (Texts{"\xC3\xA5ngstr\xC3\xB6m"}));
    EXPECT_EQ(searchWords("  "), Texts{});
}

} // namespace
