#include "catalog/catalog.h"
#include "cli/catalog_check.h"
#include "cli/command_line.h"
#include "temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

Outcome check(const std::string& name, const std::string& path) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = runCheck(name, path, out, err);
    return {status, out.str(), err.str()};
}

std::vector<int> problemLines(const CatalogCheck& result) {
    std::vector<int> lines;
    for (const LineProblem& problem : result.problems)
        lines.push_back(problem.line);
    return lines;
}

// One line of each kind of problem, each between lines that are fine.
const std::string longFormula = "x" + std::string(300, '0');
const std::vector<std::string> sampleLines = {
    /* 1 */ "Length|Meters to Feet|Meters|Feet|x/0.3048",
    /* 2 */ "Length|Feet to Meters|Feet|Meters|x*0.3048",
    /* 3 */ "Length|Feet||Inches|x*12",
    /* 4 */ "a note without separators",
    /* 5 */ "Length|Long|Meters|Hands|" + longFormula,
    /* 6 */ "Length|Meters to Yards|Meters|Yards|X/0.9144",
    /* 7 */ "Length|Meters to Feet again|Meters|Feet|x/0.3048",
    /* 8 */ "Length|Inches to Meters|Inches|Meters|x*0.0254",
    /* 9 */ "Length|Meters to Inches|Meters|Inches|x/0.0245",
    /* 10 */ " Length | Miles to Meters |  Miles\t| Meters | x*1609.344 ",
    /* 11 */ "   ",
    /* 12 */ "Temperature|C to F|Degrees Celsius|Degrees Fahrenheit|x*9/5+32",
    /* 13 */ "Temperature|F to C|Degrees Fahrenheit|Degrees Celsius|(x-32)*5/9",
    /* 14 */ "Hidden|Meters to Miles|Meters|Miles|x/1609.344|0",
    /* 15 */ "Hidden|Miles to Meters|Miles|Meters|x*1609.344|0",
    /* 16 */ "Length|Leftover|Miles|Feet|2 3",
    /* 17 */ "Fuel|L/100 km to km/L|Liters per 100 kilometers|Kilometers per liter|100/x",
    /* 18 */ "Fuel|km/L to L/100 km|Kilometers per liter|Liters per 100 kilometers|100/x",
    /* 19 */ "Area|Squared|Meters|Square meters|x^2",
    /* 20 */ "Area|Never|Meters|Hectares|x/0",
    /* 21 */ "Area|Note|Meters|Ares|x/100|shown",
    /* 22 */ "Area|Seven|Meters|Acres|x/4046.86|0|extra",
    /* 23 */ "Area|Hidden mark|Meters|Roods|x/1011.7|0",
};

std::string sampleCatalog() {
    std::string text;
    for (const std::string& line : sampleLines)
        text += line + "\r\n";
    return text;
}

TEST(CatalogCheck, EachKindOfProblemIsReportedOnceOnItsOwnLine) {
    TempDir dir;
    writeBytes(dir.file("conv.txt"), sampleCatalog());
    const Outcome run = check("conv.txt", dir.file("conv.txt"));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "");
    const std::string expected =
        "conv.txt:3: ignored: 4 fields where a conversion needs 5 "
        "(category|name|from|to|formula); an empty field between two \"|\" counts for nothing\n"
        "conv.txt:4: ignored: 1 field where a conversion needs 5 (category|name|from|to|formula)\n"
        "conv.txt:5: the line has 326 characters; the reader takes at most 255 at a time and "
        "reads the rest as lines of their own\n"
        "conv.txt:6: the formula \"X/0.9144\" cannot be computed at x = 1: a character that "
        "begins no token, or an operand that is not a number (engine code 3)\n"
        "conv.txt:7: repeats line 1, Length: Meters \xE2\x86\x92 Feet\n"
        "conv.txt:9: not the inverse of line 8, Length: Inches \xE2\x86\x92 Meters: 1 Inches "
        "there and back gives 1.03673469387755\n"
        "conv.txt:16: the formula \"2 3\" cannot be computed at x = 1: values left over, or an "
        "operation that cannot be done (such as % by 0) (engine code 4)\n"
        "conv.txt:19: the formula \"x^2\" holds \"^\", which is exclusive or on whole numbers "
        "here, not a power (write x*x for a square)\n"
        "conv.txt:20: the formula \"x/0\" gives no finite number at x = 1, 0.5, 2, 10, 100, -1, "
        "-10 or 0\n"
        "conv.txt:21: the sixth field \"shown\" is not the hidden mark 0: the program reads it as "
        "0 and hides category \"Area\"\n"
        "conv.txt:22: 7 fields where a conversion has 5 and a hidden category a sixth, 0; the "
        "program ignores the sixth and later ones\n"
        // Line 5's second piece is no line of its own for the count, but a conversion for the
        // program: none here, as it has one field.
        "conv.txt: 23 lines, 5 categories, 20 conversions, 11 problems\n";
    EXPECT_EQ(run.out, expected);
}

TEST(CatalogCheck, CountsWhatTheProgramReads) {
    TempDir dir;
    writeBytes(dir.file("conv.txt"), sampleCatalog());
    const std::optional<CatalogCheck> result = checkCatalog(dir.file("conv.txt"));
    ASSERT_TRUE(result);
    ConversionCatalog loaded;
    ASSERT_TRUE(loaded.load(dir.file("conv.txt")));
    int conversions = 0;
    for (int id = 0; id < loaded.categoryCount(); ++id)
        conversions += loaded.categoryAt(id)->conversionCount();
    EXPECT_EQ(result->categories, loaded.categoryCount());
    EXPECT_EQ(result->conversions, conversions);
    EXPECT_EQ(result->lines, 23);
}

TEST(CatalogCheck, ALineOf255CharactersIsReadWholeAnd256IsNot) {
    const auto lineOf = [](std::size_t length) {
        std::string line = "L|n|a|b|x+";
        return line + std::string(length - line.size(), '0');
    };
    TempDir dir;
    for (const char* end : {"\n", "\r\n", ""}) {
        writeBytes(dir.file("255.txt"), lineOf(255) + end);
        const auto whole = checkCatalog(dir.file("255.txt"));
        ASSERT_TRUE(whole);
        EXPECT_TRUE(whole->problems.empty()) << whole->problems.front().message;
        EXPECT_EQ(whole->lines, 1);

        writeBytes(dir.file("256.txt"), lineOf(256) + end);
        const auto split = checkCatalog(dir.file("256.txt"));
        ASSERT_TRUE(split);
        EXPECT_EQ(problemLines(*split), std::vector<int>{1});
        EXPECT_EQ(split->lines, 1);
    }
}

TEST(CatalogCheck, AByteOrderMarkIsNoPartOfTheFirstLine) {
    TempDir dir;
    // 255 characters after the mark: whole for the reader, so no problem either.
    const std::string first = "L|n|a|b|x+" + std::string(245, '0');
    writeBytes(dir.file("bom.txt"), "\xEF\xBB\xBF" + first + "\r\nL|n|a|b|x\r\n");
    const auto result = checkCatalog(dir.file("bom.txt"));
    ASSERT_TRUE(result);
    EXPECT_EQ(result->categories, 1);
    ASSERT_EQ(problemLines(*result), std::vector<int>{2});
    // The repeat is found because the first category's name is "L", not the mark and "L".
    EXPECT_EQ(result->problems[0].message, "repeats line 1, L: a \xE2\x86\x92 b");
}

// A catalog saved as "Unicode" is read as no line at all: the check names the encoding.
TEST(CatalogCheck, AFileInUtf16IsNamedSo) {
    TempDir dir;
    const std::string line = "L|n|a|b|x\r\n";
    std::string utf16 = "\xFF\xFE";
    for (const char c : line)
        utf16 += std::string{c, '\0'};
    writeBytes(dir.file("conv.txt"), utf16);
    const Outcome outcome = check("conv.txt", dir.file("conv.txt"));
    EXPECT_EQ(outcome.status, 1);
    EXPECT_NE(outcome.out.find("conv.txt: saved as UTF-16, where Velmora reads UTF-8 only"),
              std::string::npos)
        << outcome.out;
}

TEST(CatalogCheck, LinesAreCountedAsTheReaderEndsThem) {
    TempDir dir;
    writeBytes(dir.file("a.txt"), "A|n|a|b|x\nbad\r\nA|n|b|a|x\n\nbad again");
    const auto result = checkCatalog(dir.file("a.txt"));
    ASSERT_TRUE(result);
    EXPECT_EQ(result->lines, 5);
    EXPECT_EQ(problemLines(*result), (std::vector<int>{2, 5}));

    writeBytes(dir.file("empty.txt"), "");
    const Outcome empty = check("empty.txt", dir.file("empty.txt"));
    EXPECT_EQ(empty.status, 1);
    EXPECT_EQ(empty.out, "empty.txt: no line holds a conversion, so there is nothing to convert\n"
                         "empty.txt: 0 lines, 0 categories, 0 conversions, 1 problem\n");
}

TEST(CatalogCheck, OnlyTheFirstProblemOfALineIsReported) {
    TempDir dir;
    // Line 3 repeats line 1 and has a formula that fails: the formula is what is said.
    writeBytes(dir.file("a.txt"), "A|n|a|b|x*2\nA|n|b|a|x/2\nA|n|a|b|x*Y\nA|n|b|a|x/3\n");
    const auto result = checkCatalog(dir.file("a.txt"));
    ASSERT_TRUE(result);
    ASSERT_EQ(problemLines(*result), (std::vector<int>{3, 4}));
    EXPECT_EQ(result->problems[0].message.rfind("the formula \"x*Y\"", 0), 0u);
    EXPECT_EQ(result->problems[1].message, "repeats line 2, A: b \xE2\x86\x92 a");
}

TEST(CatalogCheck, InversePairsAreTriedBothWaysRound) {
    TempDir dir;
    // From a to b and back gives 1, 10 and 100 again; from b to a and back does not for 1,
    // which the second formula takes to 0.
    writeBytes(dir.file("a.txt"), "A|n|a|b|x*2\nA|n|b|a|(x>=2)*(x/2)\n");
    const auto result = checkCatalog(dir.file("a.txt"));
    ASSERT_TRUE(result);
    ASSERT_EQ(problemLines(*result), std::vector<int>{2});
    EXPECT_EQ(result->problems[0].message,
              "not the inverse of line 1, A: a \xE2\x86\x92 b: 1 b there and back gives 0");
}

TEST(CatalogCheck, AFileThatCannotBeReadGivesTwo) {
    TempDir dir;
    const Outcome missing = check("absent.txt", dir.file("absent.txt"));
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.out, "");
    EXPECT_EQ(missing.err, "velmora: cannot read the catalog absent.txt\n");
    const Outcome folder = check("folder", dir.path().string());
    EXPECT_EQ(folder.status, 2);
    EXPECT_EQ(folder.err, "velmora: the catalog folder is a folder, not a file\n");
}

TEST(CatalogCheck, TheCommandLineChecksTheNamedFileOrConvTxt) {
    TempDir dir;
    writeBytes(dir.file("conv.txt"), "A|n|a|b|x\n");
    writeBytes(dir.file("other.txt"), "A|n|a|b|x\nA|n|a|b|x\n");
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(runCommandLine(parseCommandLine({"--check"}), out, err), 0);
    EXPECT_EQ(runCommandLine(parseCommandLine({"--check", "other.txt"}), out, err), 1);
    // The names beside a catalog are checked with it, and names.txt alone against conv.txt.
    writeBytes(dir.file("names.txt"), "# units\na|x|y\nzz|z\nno bar\n");
    const std::string names = "names.txt:3: no category of conv.txt has the unit \"zz\", so these "
                              "names find nothing\n"
                              "names.txt:4: no \"|\": a line is a unit label and its names, "
                              "Label|name|name\n"
                              "names.txt: 4 lines, 2 labels, 3 names, 2 problems\n";
    EXPECT_EQ(runCommandLine(parseCommandLine({"--check"}), out, err), 1);
    EXPECT_EQ(runCommandLine(parseCommandLine({"--check", "names.txt"}), out, err), 1);
    std::filesystem::current_path(previous);
    EXPECT_EQ(out.str(), "conv.txt: 1 line, 1 category, 1 conversion, 0 problems\n"
                         "other.txt:2: repeats line 1, A: a \xE2\x86\x92 b\n"
                         "other.txt: 2 lines, 1 category, 2 conversions, 1 problem\n"
                         "conv.txt: 1 line, 1 category, 1 conversion, 0 problems\n" +
                             names + names);
    EXPECT_EQ(err.str(), "");
}

} // namespace
