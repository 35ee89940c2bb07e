#include "catalog/catalog.h"
#include "converter/report_text.h"
#include "converter/selection_logic.h"
#include "converter/window_fit.h"
#include "converter/window_layout.h"
#include "failing_file_ops.h"
#include "query/query_reader.h"
#include "names/unit_names.h"
#include "settings/settings_file.h"
#include "temp_dir.h"
#include "text/display_text.h"
#include "unprivileged.h"

#include <gtest/gtest.h>
#include <map>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

TEST(SettingsFile, FirstLineGivesTheClampedPrecision) {
    struct Case {
        const char* file;
        int precision;
    };
    const Case cases[] = {
        {"3", 3},
        {"  3 \t\r\n", 3},
        {"7", 4},
        {"0", 1},
        {"-2", 1},
        {"letters", 1},
        {"\n4\n", 1},
        {"3.9", 3},
        {"2abc", 2},
        {"+4", 4},
        {"2\r\n4\r\n", 2},
        {"99999999999999999999", 4},
        {"-99999999999999999999", 1},
        {"2147483648", 4},
        {"-2147483649", 1},
    };
    for (const auto& c : cases) {
        TempDir dir;
        writeBytes(dir.file("conv.ini"), c.file);
        int precision = 2;
        EXPECT_TRUE(readSettings(dir.file("conv.ini"), precision)) << c.file;
        EXPECT_EQ(precision, c.precision) << c.file;
    }
}

TEST(SettingsFile, EmptyOrMissingFileKeepsThePrecision) {
    TempDir dir;
    int precision = 1;
    EXPECT_FALSE(readSettings(dir.file("conv.ini"), precision));
    EXPECT_EQ(precision, 1);
    writeBytes(dir.file("conv.ini"), "");
    EXPECT_TRUE(readSettings(dir.file("conv.ini"), precision));
    EXPECT_EQ(precision, 1);
}

TEST(SettingsFile, WritesOneDigitWholeOrNotAtAll) {
    TempDir dir;
    const std::string path = dir.file("conv.ini");
    writeBytes(path, "3\r\nold second line\r\n");
    ASSERT_TRUE(writeSettings(path, 4));
    EXPECT_EQ(readBytes(path), "4");

    for (auto step : {FailingOps::Create, FailingOps::Write, FailingOps::Flush, FailingOps::Close,
                      FailingOps::Rename}) {
        FailingOps ops(step);
        EXPECT_FALSE(writeSettings(path, 2, ops)) << step;
        EXPECT_EQ(readBytes(path), "4") << step;
    }

    // A folder's read-only attribute does not keep new files out of it on Windows.
#ifndef _WIN32
    ASSERT_EQ(chmod(dir.path().c_str(), 0555), 0);
    EXPECT_TRUE(runWithoutPrivileges([&] { return !writeSettings(path, 1); }));
    chmod(dir.path().c_str(), 0755);
    EXPECT_EQ(readBytes(path), "4");
#endif
}

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

TEST(WindowFit, TabRowsThatKeepTheWindowOnTheScreen) {
    const struct {
        const char* what;
        int heightWithOneRow, rowHeight, available, rows;
    } cases[] = {
        {"room for exactly two more", 580, 26, 632, 3},
        {"a pixel short of the third", 580, 26, 631, 2},
        {"no room beyond one", 580, 26, 580, 1},
        {"too small even for one row", 580, 26, 400, 1},
        {"tall screen", 580, 26, 1024, 18},
        {"no row height known", 580, 0, 1024, 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(tabRowsThatFit(c.heightWithOneRow, c.rowHeight, c.available), c.rows) << c.what;
}

TEST(SettingsFile, WindowSizeIsTwoPositiveNumbersOrNothing) {
    // Each line with the size it gives, 0 x 0 for none.
    const std::pair<const char*, const char*> cases[] = {{"640 480\r\n", "640x480"},
                                                         {" 640\t480 ", "640x480"},
                                                         {"+640 480", "0x0"},
                                                         {"640", "0x0"},
                                                         {"640x480", "0x0"},
                                                         {"640 480 3", "0x0"},
                                                         {"0 480", "0x0"},
                                                         {"-640 480", "0x0"},
                                                         {"640 100001", "0x0"},
                                                         {"99999999999 480", "0x0"},
                                                         {"", "0x0"},
                                                         {"640 4 80", "0x0"}};
    for (const auto& [line, expected] : cases) {
        const auto size = windowSizeFromLine(line);
        EXPECT_EQ(size ? std::to_string(size->width) + "x" + std::to_string(size->height) : "0x0",
                  expected)
            << line;
    }
}

TEST(WindowFit, WindowsMoveTheLeastToLieWithinTheArea) {
    const struct {
        const char* what;
        int start, length, areaStart, areaLength, expected;
    } cases[] = {
        {"inside stays", 100, 500, 0, 1024, 100},
        {"past the end moves back", 700, 500, 0, 1024, 524},
        {"before the start moves on", -30, 500, 0, 1024, 0},
        {"area not at zero", 10, 500, 40, 1000, 40},
        {"longer than the area starts with it", 300, 1200, 0, 1024, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(startWithin(c.start, c.length, c.areaStart, c.areaLength), c.expected) << c.what;
}

// Both windows move their controls by these steps: the sums must come back to the template.
TEST(WindowLayout, ExtraSpaceSpreadsWidthsThenLiftsRowsAndFoldsBackWhole) {
    ExtraSpaceLayout layout;
    std::map<int, ControlChange> moved;
    const auto apply = [&moved](const std::vector<ControlChange>& changes) {
        for (const ControlChange& c : changes) {
            ControlChange& m = moved[c.id];
            m = {c.id, m.dx + c.dx, m.dy + c.dy, m.dWidth + c.dWidth, m.dHeight + c.dHeight};
        }
        return changes.size();
    };
    EXPECT_TRUE(layout.folded());
    apply(layout.spread(41, 20));
    apply(layout.liftRows(2, 26));
    EXPECT_EQ(apply(layout.spread(41, 20)), 0U) << "the same size moves nothing";
    const ControlChange from = moved[IDC_FROM_LIST], to = moved[IDC_TO_LIST];
    EXPECT_EQ(std::vector({from.dy, from.dWidth, from.dHeight, to.dx, to.dWidth}),
              std::vector({-52, 20, 72, 20, 21}));
    EXPECT_EQ(moved[IDC_PICTURE].dx, 41);
    layout.scale(144, 96);
    EXPECT_EQ(layout.current().lift, 78);
    layout.scale(96, 144);
    apply(layout.fold());
    EXPECT_TRUE(layout.folded());
    for (const auto& [id, m] : moved)
        EXPECT_EQ(std::vector({m.dx, m.dy, m.dWidth, m.dHeight}), std::vector({0, 0, 0, 0})) << id;
}

TEST(ReportText, ASavedReportKeepsTheCatalogsCodePage) {
    ConversionCatalog catalog;
    Category& category = catalog.addCategory("C");
    const Conversion& ansi = category.addConversion("n",
                                                    "\xB0"
                                                    "F",
                                                    "\xB0"
                                                    "C",
                                                    "x");
    const Conversion& utf8 = category.addConversion("n",
                                                    "\xC2\xB0"
                                                    "F",
                                                    "m", "x");
    // The display text of both: UTF-8, with one character Windows-1252 lacks.
    const std::string report = "Input:        1 \xC2\xB0"
                               "F \xE2\x82\xAC \xE2\x86\x92";
    EXPECT_EQ(reportFileBytes(report, &ansi), "Input:        1 \xB0"
                                              "F \x80 ?");
    EXPECT_EQ(reportFileBytes(report, &utf8), report);
    EXPECT_EQ(reportFileBytes(report, nullptr), report);
    EXPECT_EQ(toDisplayText(fromDisplayText(toDisplayText("\x80\x9F\xA0\xFF"))),
              toDisplayText("\x80\x9F\xA0\xFF"));
}

TEST(ReportText, TwoLinesOrThePlaceholder) {
    const std::string report = buildReportText(true, "12", "Feet", "3.66", "Meters");
    EXPECT_EQ(report, "Input:        12 Feet\r\nOutput:       3.66 Meters");
    EXPECT_EQ(report.size(), 48u);
    EXPECT_EQ(buildReportText(true, "1", "Feet (US survey)", "2", "m"),
              "Input:        1 Feet (US survey)\r\nOutput:       2 m");
    EXPECT_EQ(buildReportText(true, " 5 ", "a", "5.0", "b"),
              "Input:         5  a\r\nOutput:       5.0 b");

    struct Case {
        bool haveConversion;
        const char* input;
        const char* result;
    };
    for (const auto& c : {Case{false, "12", "3.66"}, Case{true, "", "3.66"}, Case{true, "12", ""}})
        EXPECT_EQ(buildReportText(c.haveConversion, c.input, "Feet", c.result, "Meters"),
                  "no current conversion");
}

} // namespace
