#include "query/query_grammar.h"

#include <gtest/gtest.h>
#include <string>
#include <string_view>

namespace {

// The shapes of a query, each "from|to", "*" after one without a separator and "1" before one
// whose amount is an article; or "!" and the refusal.
std::string shapesOf(std::string_view query) {
    const Result<std::vector<QueryShape>> shapes = queryShapes(normalizedQuery(query, {}));
    if (!shapes) return "!" + shapes.why();
    std::string text;
    for (const QueryShape& shape : *shapes)
        text += std::string(shape.valueOne ? "1 " : "") + shape.from + "|" + shape.to +
                (shape.separated ? "" : "*") + "; ";
    return text;
}

TEST(QueryGrammar, WordsAreTheTextBetweenBlanksAndEachArrowIsOne) {
    std::string words;
    for (const std::string_view word : queryWords(" mi->km To  tom\xE2\x86\x92 5=6"))
        words += std::string(word) + "|";
    EXPECT_EQ(words, "mi|->|km|To|tom|\xE2\x86\x92|5|=|6|");
}

// Every way each query parts, as people type them: the units decide among several.
TEST(QueryGrammar, GivesEveryWayAQueryParts) {
    const std::pair<std::string_view, std::string_view> rows[] = {
        // clang-format off
        // The separators that part wherever they stand, in any letter case, also glued.
        {"5 mi to km", "5 mi|km; "}, {"10 km INTO miles", "10 km|miles; "},
        {"10km=miles", "10km|miles; "}, {"mi\xE2\x86\x92km", "mi|km; "}, {"lb to kg", "lb|kg; "},
        {"to km", "|km; "}, {"5 km to", "5 km|; "},
        {"lbf in to N m", "lbf in|N m; "}, {"5 ft 11 in to cm", "5 ft 11 in|cm; "},
        // Twice, no way.
        {"5 km to to mi", "!\"to\" and \"to\" both separate what is converted from what it is "
                          "converted to; write one of them, as in \"5 km to mi\"."},
        {"5 km -> mi = ft", "!\"->\" and \"=\" both separate what is converted from what it is "
                            "converted to; write one of them, as in \"5 km to mi\"."},
        // "in" and "as" between two words, each place a way, and the words without a separator.
        {"10 km in miles", "10 km|miles; 10 km in miles|*; "},
        {"5 in in cm", "5|in cm; 5 in|cm; 5 in in cm|*; "},
        {"10 km as mi", "10 km|mi; 10 km as mi|*; "},
        {"5 in", "5 in|*; "}, {"in cm", "in cm|*; "}, {"5 mi km", "5 mi km|*; "},
        // An article before units is the amount 1.
        {"a mile in km", "1 mile|km; 1 mile in km|*; "}, {"one mile to km", "1 mile|km; "},
        {"a", "a|*; "},
        // How many, with "are" or "is", an article or a value, and a question mark.
        {"how many feet in a mile", "1 mile|feet; "},
        {"How Many feet ARE in 3 miles?", "3 miles|feet; "},
        {"how many sq in in one sq ft", "in one sq ft|sq; 1 sq ft|sq in; "},
        {"how many are in a hectare", "1 hectare|are; "}, {"how many feet", "|feet; "},
        // A lead that adds nothing.
        {"convert 5 km to miles", "5 km|miles; "}, {"what is 100 f in c?", "100 f|c; 100 f in c|*; "},
        {"What's 3 lb to kg ?", "3 lb|kg; "}, {"what is a gallon to liters", "1 gallon|liters; "},
        {"convert", "convert|*; "},
        // Compatibility characters and spaces of other widths.
        {"100\xE2\x84\x83 to \xE2\x84\x89", "100\xC2\xB0" "C|\xC2\xB0" "F; "},
        {"5\xC2\xA0km\xE2\x80\xAFto\xE2\x80\x89mi", "5 km|mi; "},
        {"1 \xE2\x84\xAB to nm", "1 \xC3\x85|nm; "}, {"1 \xE2\x84\xAA to C", "1 K|C; "},
        // clang-format on
    };
    for (const auto& [query, shapes] : rows)
        EXPECT_EQ(shapesOf(query), shapes) << query;
    EXPECT_EQ(shapesOf(std::string(2000, 'a')).substr(0, 31), "!The query is longer than 1000 ");
}

TEST(QueryGrammar, ANoBreakSpaceBetweenDigitsStaysWhereTheLocaleGroupsWithOne) {
    const NumberFormat french(',', '.', true);
    const std::string noBreak = "\xC2\xA0";
    const std::string narrow = "\xE2\x80\xAF";
    EXPECT_EQ(normalizedQuery("12" + noBreak + "500" + noBreak + "km", french),
              "12" + noBreak + "500 km");
    EXPECT_EQ(normalizedQuery("12" + narrow + "500", french), "12" + narrow + "500");
    EXPECT_EQ(normalizedQuery("12" + noBreak + "500" + noBreak + "km", NumberFormat('.')),
              "12 500 km");
}

} // namespace
