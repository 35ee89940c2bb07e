#include "catalog/catalog.h"
#include "converter/selection_logic.h"
#include "names/unit_names.h"
#include "query/query_reader.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

class SelectionLogic : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* name : {"P", "Q", "R"})
            catalog.addCategory(name);
        catalog.categoryAt(0)->setVisible(0);
        Category& q = *catalog.categoryAt(1);
        q.addConversion("a", "Feet", "Meters", "x*0.3048");
        q.addConversion("b", "Inches", "Feet", "x/12");
        q.addConversion("c", "Feet", "Inches", "x*12");
        q.addConversion("d", "feet", "Yards", "x/3");
    }
    ConversionCatalog catalog;
};

TEST_F(SelectionLogic, TabsStandForTheVisibleCategoriesInIdOrder) {
    EXPECT_EQ(visibleCategories(catalog),
              (std::vector<Category*>{catalog.categoryAt(1), catalog.categoryAt(2)}));
    catalog.categoryAt(1)->setVisible(0);
    EXPECT_EQ(visibleCategories(catalog), (std::vector<Category*>{catalog.categoryAt(2)}));
}

TEST_F(SelectionLogic, FromListHasOneEntryPerGroupAndToListFollowsFileOrder) {
    const Category& q = *catalog.categoryAt(1);
    std::vector<std::string> labels;
    std::vector<int> groups;
    for (const auto& entry : fromListEntries(q)) {
        labels.push_back(entry.label);
        groups.push_back(entry.group);
    }
    EXPECT_EQ(labels, (std::vector<std::string>{"Feet", "Inches", "feet"}));
    EXPECT_EQ(groups, (std::vector<int>{0, 1, 2}));

    std::vector<std::string> targets;
    for (const Conversion* conversion : toListEntries(q, 0))
        targets.emplace_back(conversion->toUnit());
    EXPECT_EQ(targets, (std::vector<std::string>{"Meters", "Inches"}));
    EXPECT_TRUE(toListEntries(q, -1).empty());
    EXPECT_TRUE(fromListEntries(*catalog.categoryAt(2)).empty());
}

TEST_F(SelectionLogic, ResultTextReadsTheInputLikeAtofAndNeverUsesAnExponent) {
    const Conversion& identity = catalog.categoryAt(2)->addConversion("i", "A", "B", "x");
    EXPECT_EQ(computeResultTexts(identity, "1e20", 1).shown, "100000000000000000000.0");
    EXPECT_EQ(computeResultTexts(identity, "1e20", 1).exact, "1e+20");
    EXPECT_EQ(computeResultTexts(identity, "  -2.5e1", 2).shown, "-25.00");
    // Nothing asked, or nothing read for sure: no result, and a note why.
    EXPECT_EQ(computeResultTexts(identity, "", 3).shown, "");
    EXPECT_EQ(computeResultTexts(identity, "  -2.5e1kg", 2).shown, "");
    EXPECT_NE(computeResultTexts(identity, "0,5", 1).note, "");
    EXPECT_EQ(computeResultTexts(identity, "0,5", 1, {','}).shown, "0.5");
    const ResultTexts third = computeResultTexts(*catalog.categoryAt(1)->conversionAt(3), "2", 4);
    EXPECT_EQ(third.shown, "0.6667");
    EXPECT_EQ(third.exact, "0.666666666666667");
}

// No infinity, NaN, number short of its digits or formula that cannot be computed is shown or
// copied: no result, and a note why.
TEST_F(SelectionLogic, AResultOutOfRangeIsNoResultButANote) {
    Category& r = *catalog.categoryAt(2);
    const struct {
        const char* formula;
        const char* input;
        const char* noteHas;
    } rows[] = {
        {"x/0.3048", "1e308", "out of range"},
        {"x/1000", "3e-308", "out of range"},
        {"x/1e306/1e306", "1", "out of range"},
        {"x/(x-1)", "1", "out of range"},
        {"x*#2", "1", "cannot be computed: a character"},
        {"x 2", "1", "cannot be computed: values left over"},
        {"x%0", "3", "cannot be computed: values left over"},
    };
    for (const auto& row : rows)
        r.addConversion("n", "M", row.formula, row.formula);
    int at = 0;
    for (const auto& row : rows) {
        const ResultTexts texts = computeResultTexts(*r.conversionAt(at++), row.input, 2);
        EXPECT_EQ(texts.shown + texts.exact + texts.twoPart, "") << row.input;
        EXPECT_NE(texts.note.find(row.noteHas), std::string::npos)
            << row.formula << ": " << texts.note;
    }
    // A formula that gives 0 for every value: its 0 is the result, no number lost below the
    // smallest.
    for (const char* zero : {"x*0", "1<2&&0"}) {
        const Conversion& line = r.addConversion("z", "A", "B", zero);
        EXPECT_EQ(computeResultTexts(line, "5", 2).shown, "0.00") << zero;
    }
    const UnitNames names = parseNamesFile("Feet|ft\nInches|in\n").names;
    const QueryReader reader(catalog, names, {}, NumberFormat('.'));
    const ResultTexts negative =
        computeResultTexts(*catalog.categoryAt(1)->conversionAt(0), "-5'11\"", 4,
                           {'.', catalog.categoryAt(1), &reader});
    EXPECT_EQ(negative.shown, "-1.8034");
}

} // namespace
