#include "catalog/catalog.h"
#include "converter/converter_model.h"
#include "temp_dir.h"
#include "unprivileged.h"

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace {

constexpr const char* catalogFile = "Hidden|h|A|B|x*2|0\r\n"
                                    "Length|ft-m|Feet|Meters|x*0.3048\r\n"
                                    "Length|ft-in|Feet|Inches|x*12\r\n"
                                    "Length|m-ft|Meters|Feet|x/0.3048\r\n"
                                    "Mass|kg-lb|Kilograms|Pounds|x/0.45359237\r\n";

struct Started {
    TempDir dir;
    ConversionCatalog catalog;
    ConverterModel model{catalog};
    std::string failure;
    // The catalog's bytes; no conv.txt at all for none.
    explicit Started(std::optional<std::string_view> file = catalogFile) {
        if (file) writeBytes(dir.file("conv.txt"), *file);
        const Status status = model.start(dir.path());
        started = status.ok();
        failure = status.why();
    }
    bool started = false;
};

// Every closing step was done.
bool allDone(const std::vector<Status>& steps) {
    return std::all_of(steps.begin(), steps.end(), [](const Status& step) { return step.ok(); });
}

TEST(ConverterModel, EventsRunTheirStepsInOrder) {
    Started s;
    ASSERT_TRUE(s.started);
    ConverterModel& m = s.model;
    const struct {
        const char* what;
        std::function<void()> action;
        const char* tab;
        const char* from;
        const char* to;
        const char* result;
    } steps[] = {
        {"start computes nothing", [] {}, "Length", "Feet", "Meters", ""},
        {"typing", [&] { m.onInputChanged("12"); }, "Length", "Feet", "Meters", "3.7"},
        {"second To entry", [&] { m.onToChanged(1); }, "Length", "Feet", "Inches", "144.0"},
        {"the selected From entry again", [&] { m.onFromChanged(0); }, "Length", "Feet", "Inches",
         "144.0"},
        {"second From entry", [&] { m.onFromChanged(1); }, "Length", "Meters", "Feet", "39.4"},
        {"second tab", [&] { m.onTabChanged(1); }, "Mass", "Kilograms", "Pounds", "26.5"},
        {"Ctrl+Tab wraps", [&] { m.stepCategory(1); }, "Length", "Feet", "Meters", "3.7"},
        {"precision clamps to 4", [&] { m.setPrecision(9); }, "Length", "Feet", "Meters", "3.6576"},
        {"letters after the number", [&] { m.onInputChanged(" 1e1x"); }, "Length", "Feet", "Meters",
         ""},
    };
    for (const auto& step : steps) {
        step.action();
        EXPECT_EQ(m.tabText(m.selectedTab()), step.tab) << step.what;
        EXPECT_EQ(m.fromText(m.selectedFrom()), step.from) << step.what;
        EXPECT_EQ(m.toText(m.selectedTo()), step.to) << step.what;
        EXPECT_EQ(m.inputUnitLabel(), step.from) << step.what;
        EXPECT_EQ(m.outputUnitLabel(), step.to) << step.what;
        EXPECT_EQ(m.resultText(), step.result) << step.what;
    }
    EXPECT_EQ(m.tabCount(), 2);
    EXPECT_FALSE(m.unreadInputNote().empty());
    EXPECT_TRUE(m.exactResult().empty());
    m.onInputChanged("2*5");
    EXPECT_TRUE(m.unreadInputNote().empty());
    EXPECT_EQ(m.report(), "Input:        2*5 Feet\r\nOutput:       3.0480 Meters");
}

TEST(ConverterModel, FoundConversionBecomesCurrentWithItsValue) {
    Started s;
    s.model.showConversion(0, *s.catalog.categoryAt(1)->conversionAt(2), "5");
    EXPECT_EQ(s.model.currentConversion(), s.catalog.categoryAt(1)->conversionAt(2));
    EXPECT_EQ(s.model.inputText(), "5");
    EXPECT_EQ(s.model.resultText(), "16.4");
    EXPECT_EQ(s.model.exactResult().substr(0, 8), "16.40419");
}

TEST(ConverterModel, SwapKeepsTheValueAndTheDecimalCommaFollowsTheLocale) {
    Started s;
    ConverterModel& m = s.model;
    m.setNumberFormat(NumberFormat(','));
    m.onInputChanged("1,5");
    // The numbers shown come back with the separator they were typed with.
    EXPECT_EQ(m.resultWithUnit(), "0,5 Meters");
    EXPECT_EQ(m.report(), "Input:        1,5 Feet\r\nOutput:       0,5 Meters");
    EXPECT_EQ(m.exactResult(), "0,4572 Meters");
    ASSERT_TRUE(m.swapUnits());
    EXPECT_EQ(m.fromText(m.selectedFrom()), "Meters");
    EXPECT_EQ(m.toText(m.selectedTo()), "Feet");
    EXPECT_EQ(m.inputText(), "1,5");
    EXPECT_EQ(m.resultWithUnit(), "4,9 Feet");
    // Inches have no way back in this catalog: nothing changes.
    m.onFromChanged(0);
    m.onToChanged(1);
    EXPECT_FALSE(m.swapUnits());
    EXPECT_EQ(m.toText(m.selectedTo()), "Inches");
    m.setNumberFormat(NumberFormat('.'));
    m.onInputChanged("1,5");
    EXPECT_TRUE(m.resultWithUnit().empty());
    EXPECT_FALSE(m.unreadInputNote().empty());
}

TEST(ConverterModel, ACatalogWithNoConversionSaysWhyOnTheLinesUnderTheResult) {
    std::string utf16 = "\xFF\xFE";
    for (const char c : std::string_view("L|n|a|b|x\r\n"))
        utf16 += std::string{c, '\0'};
    const struct {
        std::string file;
        const char* note;
    } cases[] = {
        {utf16, "conv.txt holds no conversion that can be read; it is saved as UTF-16: save it as "
                "UTF-8."},
        {"; only a comment\r\n", "conv.txt holds no conversion that can be read."},
        {catalogFile, ""},
    };
    for (const auto& c : cases) {
        Started s(c.file);
        ASSERT_TRUE(s.started);
        EXPECT_EQ(s.model.resultDetail(), c.note);
        EXPECT_EQ(s.model.inputDetail().empty(), *c.note == '\0');
    }
}

TEST(ConverterModel, MissingCatalogFailsAndWritesNothing) {
    Started s(std::nullopt);
    EXPECT_FALSE(s.started);
    EXPECT_EQ(s.failure.rfind("Unable to load conversion data.", 0), 0u);
    EXPECT_FALSE(std::filesystem::exists(s.dir.file("conv.ini")));
}

TEST(ConverterModel, AFolderInThePlaceOfTheCatalogIsSaidToBeOne) {
    TempDir dir;
    std::filesystem::create_directory(dir.file("conv.txt"));
    ConversionCatalog catalog;
    ConverterModel model(catalog);
    const Status started = model.start(dir.path());
    EXPECT_FALSE(started);
    EXPECT_EQ(started.why(), "Unable to load conversion data. conv.txt could not be read in " +
                                 dir.path().string() + ": it is a folder, not a file.");
}

TEST(ConverterModel, CloseWritesSettingsOnceAndTheCatalogOnlyAfterAChange) {
    Started s;
    s.model.setPrecision(3);
    EXPECT_TRUE(allDone(s.model.close()));
    EXPECT_EQ(readBytes(s.dir.file("conv.ini")), "3");
    EXPECT_EQ(readBytes(s.dir.file("conv.txt")), catalogFile);
    std::filesystem::remove(s.dir.file("conv.ini"));
    s.model.close();
    EXPECT_FALSE(std::filesystem::exists(s.dir.file("conv.ini")));
}

TEST(ConverterModel, OptionsRebuildAndTheCloseMergesWithTheFileOnDisk) {
    Started s;
    s.model.onInputChanged("1");
    auto rows = s.model.optionRows();
    EXPECT_FALSE(s.model.applyOptions(rows).changed);
    EXPECT_FALSE(s.model.catalogChanged());
    rows[2].selected = false; // Mass
    // Someone adds a line while the window runs; the close keeps it.
    const std::string added = std::string(catalogFile) + "Time|s-min|Seconds|Minutes|x/60\r\n";
    writeBytes(s.dir.file("conv.txt"), added);
    EXPECT_TRUE(s.model.applyOptions(rows).changed);
    EXPECT_TRUE(s.model.catalogChanged());
    EXPECT_EQ(s.model.tabCount(), 1);
    EXPECT_TRUE(allDone(s.model.close()));
    std::string expected = added;
    expected.insert(expected.find("\r\nTime"), "|0");
    EXPECT_EQ(readBytes(s.dir.file("conv.txt")), expected);
}

TEST(ConverterModel, NoConversionGivesThePlaceholderEverywhere) {
    Started s;
    EXPECT_EQ(s.model.report(), "no current conversion"); // no result yet
    auto rows = s.model.optionRows();
    for (auto& row : rows)
        row.selected = false;
    ASSERT_TRUE(s.model.applyOptions(rows).changed);
    s.model.onInputChanged("12");
    EXPECT_EQ(s.model.tabCount() + s.model.fromCount() + s.model.toCount(), 0);
    EXPECT_EQ(s.model.currentConversion(), nullptr);
    EXPECT_EQ(s.model.report(), "no current conversion");
    EXPECT_TRUE(s.model.saveReport(s.dir.file("report.cnv"), "R"));
    EXPECT_EQ(readBytes(s.dir.file("report.cnv")), "no current conversion");
    EXPECT_EQ(s.model.saveReport(s.dir.file("none/report.cnv"), "R").why(),
              "The file R could not be written.");
}

TEST(ConverterModel, AReportNeverTakesThePlaceOfTheProgramsOwnFiles) {
    Started s;
    s.model.onInputChanged("1");
    std::filesystem::create_directory(s.dir.file("elsewhere"));
    for (const std::string name :
         {"conv.txt", "CONV.TXT", "names.txt", "conv.ini", "window.ini", "help.chm", "./conv.ini",
          "view.ini", "Favourites.txt", "recent.txt", "last.txt"}) {
        const Status saved = s.model.saveReport(s.dir.file(name), name);
        EXPECT_FALSE(saved) << name;
        EXPECT_NE(saved.why().find("one of the program's own files"), std::string::npos) << name;
    }
    EXPECT_EQ(readBytes(s.dir.file("conv.txt")), catalogFile);
    EXPECT_FALSE(std::filesystem::exists(s.dir.file("conv.ini")));
    // The same names elsewhere, and other names here, are the user's to choose.
    EXPECT_TRUE(s.model.saveReport(s.dir.file("elsewhere/conv.txt"), "R"));
    EXPECT_TRUE(s.model.saveReport(s.dir.file("conv.cnv"), "R"));
}

TEST(ConverterModel, FailedSavesSayWhichFileInWhichFolderAndWhy) {
    Started s;
    auto rows = s.model.optionRows();
    rows[0].selected = !rows[0].selected;
    ASSERT_TRUE(s.model.applyOptions(rows).changed);
    writeBytes(s.dir.file("conv.ini"), "1");
    for (const char* name : {"conv.txt", "conv.ini"})
        std::filesystem::permissions(s.dir.file(name), std::filesystem::perms::owner_read |
                                                           std::filesystem::perms::others_read);
    const std::string in = " could not be written in " + s.dir.path().string();
    EXPECT_TRUE(runWithoutPrivileges([&] {
        const std::vector<Status> steps = s.model.close();
        return steps.size() == 2 &&
               steps[0].why() ==
                   "Unable to save conversion data. conv.txt" + in + ": the file is read-only." &&
               steps[1].why() ==
                   "Unable to save conversion settings. conv.ini" + in + ": the file is read-only.";
    }));
#ifndef _WIN32
    // A folder's read-only attribute does not keep new files out of it on Windows.
    Started folder;
    using std::filesystem::perms;
    std::filesystem::permissions(folder.dir.path(), perms::owner_read | perms::owner_exec |
                                                        perms::others_read | perms::others_exec);
    EXPECT_TRUE(runWithoutPrivileges([&] {
        const std::vector<Status> steps = folder.model.close();
        return steps.size() == 1 && steps[0].why().ends_with(": the folder refuses new files.");
    }));
    std::filesystem::permissions(folder.dir.path(), std::filesystem::perms::all);
#endif
}

TEST(ConverterModel, TheNumberStyleShapesResultAndRowsButCopyCopiesPlainDigits) {
    Started s;
    ConverterModel& m = s.model;
    m.setNumberFormat(NumberFormat(',', '.'));
    m.onInputChanged("12345,6");
    EXPECT_EQ(m.resultText(), "3762,9");
    ViewChoices choices = m.viewChoices();
    choices.numbers.significant = true;
    choices.numbers.significantDigits = 5;
    choices.numbers.groupDigits = true;
    m.setViewChoices(choices);
    EXPECT_EQ(m.resultText(), "3.762,9");
    EXPECT_EQ(m.toResultText(0), "3.762,9");
    EXPECT_EQ(m.copiedResult(), "3762,9 Meters");
    choices.numbers.scientific = true;
    choices.numbers.scientificFrom = 3;
    m.setViewChoices(choices);
    EXPECT_EQ(m.resultText(), "3,7629e+03");
}

TEST(ConverterModel, FindSaysWhenThereIsNoNamesFile) {
    Started s;
    EXPECT_NE(s.model.namesForFind().note.find("no names.txt"), std::string::npos);
    writeBytes(s.dir.file("names.txt"), "Feet|ft\n");
    EXPECT_EQ(s.model.namesForFind().note, "");
    EXPECT_EQ(s.model.namesForFind().names.of("Feet"), std::vector<std::string>{"ft"});
}

} // namespace
