#include "catalog/catalog.h"
#include "converter/report_text.h"
#include "text/display_text.h"

#include <gtest/gtest.h>
#include <string>

namespace {

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
