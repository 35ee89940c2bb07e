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

// Each query as people type it, parted into what is converted and what it is converted to.
TEST(QueryGrammar, PartsEveryFormOfQuery) {
    const struct {
        std::string_view query;
        std::string_view from;
        std::string_view to;
        bool separated;
        bool valueOne = false;
    } rows[] = {
        // The separators, in any letter case, also glued where they are signs.
        // clang-format off
        {"5 mi to km", "5 mi", "km", true}, {"10 km INTO miles", "10 km", "miles", true},
        {"10 km as miles", "10 km", "miles", true}, {"10 km = miles", "10 km", "miles", true},
        {"10km=miles", "10km", "miles", true}, {"mi\xE2\x86\x92km", "mi", "km", true},
        {"kilo to to", "kilo", "to", true}, {"to", "", "", true}, {"lb to kg", "lb", "kg", true},
        {"5 mi km", "5 mi km", "", false},
        // "in": after a unit word and before another word, and no other separator.
        {"10 km in miles", "10 km", "miles", true}, {"100 f IN c", "100 f", "c", true},
        {"lb in kg", "lb", "kg", true}, {"5 in in cm", "5 in", "cm", true},
        {"5in in cm", "5in", "cm", true}, {"5 ft 11 in in cm", "5 ft 11 in", "cm", true},
        {"5'6\" in cm", "5'6\"", "cm", true}, {"3 x 12 in in ft", "3 x 12 in", "ft", true},
        {"10 sq in in cm2", "10 sq in", "cm2", true}, {"5 in", "5 in", "", false},
        {"5 ft 11 in", "5 ft 11 in", "", false}, {"in cm", "in cm", "", false},
        {"lbf in", "lbf in", "", false}, {"lbf in to N m", "lbf in", "N m", true},
        {"5 ft 11 in to cm", "5 ft 11 in", "cm", true}, {"10 km in 5 m", "10 km in 5 m", "", false},
        {"1 as to fs", "1 as", "fs", true}, {"5 km as", "5 km as", "", false},
        // How many, with "are", an article or a value, and a question mark.
        {"how many feet in a mile", "mile", "feet", true, true},
        {"How Many feet ARE in 3 miles?", "3 miles", "feet", true},
        {"how many in in an ft", "ft", "in", true, true},
        {"how many sq in in one sq ft", "sq ft", "sq in", true, true},
        {"how many are in a hectare", "hectare", "are", true, true},
        {"how many cm in 5 ft 11 in", "5 ft 11 in", "cm", true},
        {"how many feet", "", "feet", true},
        // A lead that adds nothing, and the question mark.
        {"convert 5 km to miles", "5 km", "miles", true},
        {"what is 100 f in c?", "100 f", "c", true}, {"What's 3 lb in kg ?", "3 lb", "kg", true},
        {"convert", "convert", "", false}, {"5 km to mi??", "5 km", "mi", true},
        // clang-format on
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.query);
        const QuerySides sides = querySides(row.query);
        EXPECT_EQ(sides.from, row.from);
        EXPECT_EQ(sides.to, row.to);
        EXPECT_EQ(sides.separated, row.separated);
        EXPECT_EQ(sides.valueOne, row.valueOne);
    }
    EXPECT_EQ(separatorPosition("5 in in cm"), 5u);
    EXPECT_EQ(separatorPosition("5 ft 11 in"), 10u);
    EXPECT_EQ(separatorPosition("1/2 cup->ml"), 7u);
}

} // namespace
