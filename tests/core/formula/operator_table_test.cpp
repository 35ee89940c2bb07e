#include "formula/operator_table.h"

#include <gtest/gtest.h>
#include <string>
#include <string_view>

namespace {

struct ScanRow {
    std::string_view text;
    long expected;
};

TEST(OperatorTable, EveryOperatorIsMatchedByItsOwnTextAndIsMadeOfOperatorCharacters) {
    for (int i = 1; i < static_cast<int>(OperatorTable.size()); ++i) {
        const std::string text(OperatorTable[i].text);
        SCOPED_TRACE(text);
        EXPECT_EQ(matchOperator(text + "1"), i);
        for (const char c : text)
            EXPECT_NE(OperatorTable[0].text.find(c), std::string_view::npos);
    }
}

TEST(OperatorTable, RunsOfOperatorCharactersThatAreNoOperatorMatchNothing) {
    const std::string_view set = OperatorTable[0].text;
    EXPECT_EQ(set.size(), 13u);
    auto inTable = [](std::string_view run) {
        for (std::size_t i = 1; i < OperatorTable.size(); ++i)
            if (OperatorTable[i].text == run) return true;
        return false;
    };
    for (const char first : set) {
        for (const char second : set) {
            const std::string run{first, second};
            SCOPED_TRACE(run);
            if (!inTable(run)) {
                EXPECT_EQ(matchOperator(run + "5"), -1);
            }
        }
    }
}

TEST(OperatorTable, MatchOperatorTakesTheWholeRun) {
    const ScanRow rows[] = {
        {"<=3", 21},
        {"<3", 17},
        {"<<1", 5},
        {"!=1", 20},
        {"!&1", 15},
        {"^2", 9},
        {"\\2", 3},
        {"%2", 4},
        {"||0", 14},
        {"&& 1", 13},
        {">=", 19},
        {"-(", 7},
        {"<<=1", -1},
        {"=1", -1},
        {"*-5", -1},
        {"**3", -1},
        {"<>3", -1},
        {"&&&1", -1},
        {" <3", -1},
        {"(3", -1},
        {"", -1},
        {"5+", -1},
        {"\xd7"
         "2",
         -1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(matchOperator(row.text), row.expected);
    }
}

TEST(OperatorTable, ScanOperandCountsLettersDigitsAndFullStops) {
    const ScanRow rows[] = {
        {"5.000000*2", 8}, {".5)", 2},       {"abc+1", 3}, {"1.2.3", 5}, {"1e-5", 2},
        {"x1 2", 2},       {"-5", 0},        {"(1", 0},    {"", 0},      {" 1", 0},
        {"1,5", 1},        {"\xe9t\xe9", 0}, {"Zz09.", 5},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(static_cast<long>(scanOperand(row.text)), row.expected);
    }
}

} // namespace
