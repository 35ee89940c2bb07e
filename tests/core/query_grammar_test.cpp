#include "text/query_grammar.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <string_view>

namespace {

TEST(QueryGrammar, TheWordToAndTheArrowsSeparateWhereAWordBegins) {
    EXPECT_EQ(separatorAt("to km", 0), 2u);
    EXPECT_EQ(separatorAt("mi TO", 3), 2u);
    EXPECT_EQ(separatorAt("to->km", 0), 2u);
    EXPECT_EQ(separatorAt("mi->km", 2), 2u);
    EXPECT_EQ(separatorAt("\xE2\x86\x92km", 0), 3u);
    EXPECT_EQ(separatorAt("tons", 0), 0u);
    EXPECT_EQ(separatorAt("t", 0), 0u);
    EXPECT_EQ(afterSeparator("-> km "), std::optional<std::string_view>("km"));
    EXPECT_EQ(afterSeparator("km"), std::nullopt);
}

TEST(QueryGrammar, TokensAreWordsAndArrowsWithTheSeparatorsMarked) {
    std::string tokens;
    QueryTokens scan(" mi->km To  tom\xE2\x86\x92");
    for (QueryToken token; scan.next(token);)
        tokens += std::string(token.text) + (token.separator ? "*" : "") + "|";
    EXPECT_EQ(tokens, "mi|->*|km|To*|tom|\xE2\x86\x92*|");
}

} // namespace
