#include "catalog/catalog.h"
#include "cli/command_line.h"
#include "cli/convert_command.h"
#include "files/whole_file_reader.h"
#include "names/unit_names.h"
#include "query/query_reader.h"
#include "temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Args = std::vector<std::string>;

const char* const catalogText =
    "Length|Kilometers to Meters|Kilometers|Meters|x*1000\r\n"
    "Length|Meters to Feet|Meters|Feet (international)|x/0.3048\r\n"
    "Length|Kilometers to Light years|Kilometers|Light years|x/9460730472580.8\r\n"
    "Temperature|Celsius to Fahrenheit|Degrees Celsius|Degrees Fahrenheit|x*9/5+32\r\n"
    "Temperature|Fahrenheit to Celsius|Degrees Fahrenheit|Degrees Celsius|(x-32)*5/9\r\n"
    "Fuel|L/100 km to km/L|Liters per 100 kilometers|Kilometers per liter|100/x\r\n"
    "Data|Bytes to Bits|Bytes|Bits|x*8\r\n"
    "Data rate|Bytes/s to Bits/s|Bytes|Bits|x*8*1000\r\n"
    "Broken|Unit to Other|Unit|Other|X*2\r\n"
    "Hidden|Meters to Hands|Meters|Hands|x/0.1016|0\r\n"
    "Case|upper|METERS|FEET (INTERNATIONAL)|x*7\r\n";

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

// Runs the command line in a folder holding conv.txt.
class ConvertCommand : public testing::Test {
  protected:
    ConvertCommand() : previous_(std::filesystem::current_path()) {
        writeBytes(dir_.file("conv.txt"), catalogText);
        std::filesystem::current_path(dir_.path());
    }
    ~ConvertCommand() override { std::filesystem::current_path(previous_); }

    static Outcome run(Args args, const std::string& callerDirectory = {}) {
        std::ostringstream out;
        std::ostringstream err;
        const int status = runCommandLine(parseCommandLine(args), out, err, callerDirectory);
        return {status, out.str(), err.str()};
    }
    static Outcome convert(const std::string& value, const std::string& from, const std::string& to,
                           Args options = {}) {
        Args args{"--convert", value, from, to};
        args.insert(args.end(), options.begin(), options.end());
        return run(args);
    }

    TempDir dir_;

  private:
    std::filesystem::path previous_;
};

TEST_F(ConvertCommand, PrintsTheExactResultOfLinearTemperatureAndReciprocalConversions) {
    const struct {
        const char* value;
        const char* from;
        const char* to;
        const char* printed;
    } rows[] = {
        {"2.5", "Kilometers", "Meters", "2500\n"},
        {"1", "Meters", "Feet (international)", "3.28083989501312\n"},
        {"1", "Kilometers", "Light years", "1.05700083402462e-13\n"},
        {"1e11", "Kilometers", "Meters", "100000000000000\n"},
        {"1e12", "Kilometers", "Meters", "1e+15\n"},
        {"100", "Degrees Celsius", "Degrees Fahrenheit", "212\n"},
        {"-40", "Degrees Celsius", "Degrees Fahrenheit", "-40\n"},
        {"36.6", "Degrees Celsius", "Degrees Fahrenheit", "97.88\n"},
        {"98.6", "Degrees Fahrenheit", "Degrees Celsius", "37\n"},
        {"8", "Liters per 100 kilometers", "Kilometers per liter", "12.5\n"},
        {"3", "Liters per 100 kilometers", "Kilometers per liter", "33.3333333333333\n"},
        {" 12 ", "Kilometers", "Meters", "12000\n"},
    };
    for (const auto& row : rows) {
        const Outcome result = convert(row.value, row.from, row.to);
        EXPECT_EQ(result.status, 0) << row.value << " " << row.from;
        EXPECT_EQ(result.out, row.printed) << row.value << " " << row.from;
        EXPECT_EQ(result.err, "") << row.value << " " << row.from;
    }
}

TEST_F(ConvertCommand, PrecisionGivesTheFixedFormTheWindowShows) {
    EXPECT_EQ(convert("1", "Meters", "Feet (international)", {"--precision", "1"}).out, "3.3\n");
    EXPECT_EQ(convert("1", "Meters", "Feet (international)", {"--precision", "2"}).out, "3.28\n");
    EXPECT_EQ(convert("1", "Meters", "Feet (international)", {"--precision=4"}).out, "3.2808\n");
    // Four decimals would read 0.0000: a result is never shown as zero when it is not.
    EXPECT_EQ(convert("1", "Kilometers", "Light years", {"--precision", "4"}).out, "1.06e-13\n");
    EXPECT_EQ(convert("100", "Degrees Celsius", "Degrees Fahrenheit", {"--precision", "3"}).out,
              "212.000\n");
    const Outcome wrong = convert("1", "Meters", "Feet (international)", {"--precision", "7"});
    EXPECT_EQ(wrong.status, 2);
    EXPECT_EQ(wrong.out, "");
}

TEST_F(ConvertCommand, AValueNotANumberAsAWholeOrAResultBeyondTheNumbersIsRefused) {
    const struct {
        const char* value;
        const char* from;
        const char* to;
        const char* err;
    } rows[] = {
        {"abc", "Kilometers", "Meters", "the value \"abc\" is not a number"},
        {"", "Kilometers", "Meters", "the value \"\" is not a number"},
        {"5*", "Kilometers", "Meters",
         "the value \"5*\" is not a number as a whole: a number is missing in the value"},
        {"1e400", "Kilometers", "Meters",
         "the value \"1e400\" is too large: numbers go up to about 1.8e308, and none is divided "
         "by zero"},
        {"1e308", "Kilometers", "Meters",
         "1e308 Kilometers in Meters is too large to print: the formula \"x*1000\" goes beyond "
         "about 1.8e308 or divides by zero"},
        {"0", "Liters per 100 kilometers", "Kilometers per liter",
         "0 Liters per 100 kilometers in Kilometers per liter is too large to print: the formula "
         "\"100/x\" goes beyond about 1.8e308 or divides by zero"},
    };
    for (const auto& row : rows) {
        const Outcome result = convert(row.value, row.from, row.to, {"--precision", "2"});
        EXPECT_EQ(result.status, 2) << row.value;
        EXPECT_EQ(result.out, "") << row.value;
        EXPECT_EQ(result.err, "velmora: " + std::string(row.err) + "\n") << row.value;
    }
}

TEST_F(ConvertCommand, NamesAndRankedWordsFindTheUnitsAndSayWhichWereUsed) {
    writeBytes(dir_.file("names.txt"), "Kilometers|km\nDegrees Fahrenheit|\u00B0F|F\n");
    const Outcome names = convert("5", "km", "meters");
    EXPECT_EQ(names.status, 0);
    EXPECT_EQ(names.out, "5000\n");
    EXPECT_EQ(names.err, "velmora: 5 Kilometers \xE2\x86\x92 Meters\n");
    EXPECT_EQ(convert("212", "\u00B0F", "Degrees Celsius").out, "100\n");
    // A word of a label is no name of it: the label is only offered.
    EXPECT_NE(convert("212", "\u00B0F", "celsius").err.find("the closest: \"Degrees Celsius\""),
              std::string::npos);
    // Exact labels still win: no note.
    EXPECT_EQ(convert("1", "meters", "feet (international)").err, "");
}

TEST_F(ConvertCommand, AUnitNamedExactlyIsNeverTradedForALookAlike) {
    writeBytes(dir_.file("look.txt"), "L|a|Feet|Meters|x*0.3048\r\n"
                                      "T|b|Pound-force feet|Kilogram-force meters|x*0.138\r\n"
                                      "S|c|Meters per second|Meters per minute|x*60\r\n");
    writeBytes(dir_.file("names.txt"), "Feet|ft\nKilograms|kg\nMeters|m\n");
    // Loose matches of both sides exist, but each side names a unit better: no conversion.
    const char* const pairs[][2] = {{"ft", "kg"}, {" ", " "}, {"", "m"}};
    for (const auto& pair : pairs) {
        const Outcome result = convert("5", pair[0], pair[1], {"--catalog", "look.txt"});
        EXPECT_EQ(result.status, 2) << pair[0] << " " << pair[1];
        EXPECT_EQ(result.out, "") << pair[0] << " " << pair[1];
    }
    EXPECT_EQ(convert("5", "ft", "m", {"--catalog", "look.txt"}).out, "1.524\n");
    // A unit to itself is the value, not Meters per second to Meters per minute.
    EXPECT_EQ(convert("5", "Meters", "Meters", {"--catalog", "look.txt"}).out, "5\n");
}

// The delivered catalog and names, as people write values, units and queries: the number they
// meant, or a refusal that says why.
TEST_F(ConvertCommand, EveryQueryIsUnderstoodOrRefusedNeverMisread) {
    const std::string catalog = VELMORA_DATA "/conv.txt";
    const std::string signs = "0" + std::string(60000, '-') + "1";
    const struct {
        Args args;
        std::string out; // empty: refused with status 2
        std::string errHas;
    } rows[] = {
        // clang-format off
        {{"lb to kg"}, "0.45359237\n", "1 Pounds (avoirdupois)"},
        {{"10 km in miles"}, "6.21371192237334\n", ""}, {{"5'6\" in cm"}, "167.64\n", ""},
        {{"5 in in cm"}, "12.7\n", ""}, {{"how many feet in a mile?"}, "5280\n", ""},
        {{"how many cm are in 3 in"}, "7.62\n", ""}, {{"how many sq in in a sq ft"}, "144\n", ""},
        {{"convert 5 km to miles"}, "3.10685596118667\n", ""},
        {{"what is 100 f in c"}, "37.7777777777778\n", ""}, {{"10 km = mi"}, "6.21371192237334\n", ""},
        {{"5 km"}, "", "write the query as"},
        {{"10 m - 2 m", "cm"}, "", "\"-\" stands between"}, {{"1 h - 30 min", "min"}, "", "\"-\" stands between"},
        {{"5 \xC2\xB0" "C 3 \xC2\xB0" "F", "K"}, "", "zero of its own"},
        {{"-5 ft 11 in", "cm"}, "-180.34\n", ""}, {{"-180.34", "cm", "ft in"}, "-5 ft 11 in\n", ""},
        {{"2.5", "lb", "lb oz"}, "2 lb 8 oz\n", ""}, {{"1.5", "ft", "ft in"}, "1 ft 6 in\n", ""},
        {{"5 ft 11 in", "ft in"}, "5 ft 11 in\n", ""}, {{"2", "st", "st lb"}, "2 st 0 lb\n", ""},
        {{"1.5", "h", "h min"}, "1 h 30 min\n", ""},
        {{"3\xC2\xB0 30\xE2\x80\xB2 15\xE2\x80\xB3", "Degrees"}, "3.50416666666667\n", "Degrees \xE2\x86\x92 Degrees"},
        {{"5 ft 1e308 in", "ft"}, "8.33333333333333e+306\n", "Feet (international) \xE2\x86\x92 Feet (international)"},
        {{"1", "Kilojoules", "kcal it"}, "0.238845896627496\n", "Kilocalories (International Table)"},
        {{"1", "ns", "h min s", "--precision", "4"}, "0 h 0 min 1e-09 s\n", ""},
        {{"1e300", "m", "ft in"}, "", "too large to split"}, {{"1e308", "m", "ft"}, "", "too large to print"},
        {{"3e-308", "m", "km"}, "", "too small to print"},
        {{"1" + std::string(400, '0') + "e-10", "m", "km"}, "", "too large"},
        {{signs, "m", "km"}, "", "longer than 1000"}, {{signs + " m to km"}, "", "longer than 1000"},
        // A word is a unit only by a name it has: an article is the value 1, nothing reads as
        // a unit of the other side's quantity, and a name of several words is one unit.
        {{"what is a mile in km"}, "1.609344\n", ""}, {{"what is a foot in cm"}, "30.48\n", ""},
        {{"an inch to cm"}, "2.54\n", ""}, {{"one mile in km"}, "1.609344\n", ""},
        {{"what is a gallon in liters"}, "3.785411784\n", ""},
        {{"1 m to g"}, "", "\"m\" is Meters (Length) and \"g\" Grams (Mass): no conversion"},
        {{"1 km to h"}, "", "no conversion between"}, {{"1 K to m"}, "", "no conversion between"},
        {{"1 W to kWh"}, "", "\"W\" is Watts (Power) and \"kWh\" Kilowatt-hours (Energy)"},
        {{"1 mi to mph"}, "", "no conversion between"}, {{"2 Hz to s"}, "", "no conversion between"},
        {{"1 L/min to ml"}, "", "no conversion between"}, {{"12 pt to in"}, "", "no conversion between"},
        {{"1 oz to fl oz"}, "", "no conversion between"},
        {{"1 T to kg"}, "", "no conversion between them; \"t\" is Tonnes (metric tons)"},
        {{"5 km in nautical miles"}, "2.69978401727862\n", ""},
        {{"1000 J to food calories"}, "0.239005736137667\n", ""},
        {{"1 hp to electric hp"}, "0.999597683086153\n", ""},
        {{"1 km to pica points"}, "2834645.66929134\n", ""}, {{"1 carat to metric ton"}, "2e-07\n", ""},
        {{"1 horsepower to kW"}, "0.74569987158227\n", ""},
        {{"7 litres per 100 km to mpg"}, "33.6020833333333\n", ""},
        {{"30 miles per gallon to km/l"}, "12.7543112229082\n", ""},
        {{"25 ft-lb to Nm"}, "33.895448708285\n", "Pound-force feet"},
        {{"25 ft-lb to J"}, "33.895448708285\n", "Foot-pounds force"},
        {{"1 ft-lb to ft-lb"}, "", "could be"},
        // Letter case decides only where two names differ by it alone.
        {{"1 mJ to J"}, "0.001\n", ""}, {{"1 MN to kN"}, "1000\n", ""}, {{"1 mm3 to \u00B5L"}, "1\n", ""},
        {{"1 Mhz to Hz"}, "", "could be"}, {{"1 MS to s"}, "", "could be: Milliseconds (ms), Megaseconds (1e6 Seconds) (Ms)"},
        {{"1 mpa to psi"}, "", "could be: Megapascals (MPa), Millipascals (0.001 Pascals) (mPa)"}, {{"1 KM to mi"}, "0.621371192237334\n", ""},
        // Written as people write them: periods, compatibility signs, spaces that do not break.
        {{"5 in. to cm"}, "12.7\n", ""}, {{"1 lb. to kg"}, "0.45359237\n", ""},
        {{"100 \u2103 to \u2109"}, "212\n", ""}, {{"1 \u212A to \u00B0C"}, "-272.15\n", ""},
        {{"1 \u212B to nm"}, "0.1\n", ""}, {{"5\u00A0km\u202Fto m"}, "5000\n", ""},
        {{"1-1/2 mi to km"}, "2.414016\n", ""}, {{"1 - 1/2 mi to km"}, "0.804672\n", ""},
        {{std::string(50, '(') + "1" + std::string(50, ')') + " m to km"}, "0.001\n", ""},
        // Never two separators, nor a number that is none.
        {{"5 km to to mi"}, "", "both separate"}, {{"2 kg to to lb"}, "", "both separate"},
        {{"1e-300", "m", "ft in"}, "0 ft 3.93700787401575e-299 in\n", ""},
        {{"1 000 km to m"}, "", "a number follows"},
        // clang-format on
    };
    for (const auto& row : rows) {
        Args args{"--convert"};
        args.insert(args.end(), row.args.begin(), row.args.end());
        args.insert(args.end(), {"--catalog", catalog});
        const Outcome result = run(args);
        SCOPED_TRACE(row.args.front().substr(0, 40));
        EXPECT_EQ(result.status, row.out.empty() ? 2 : 0) << result.err;
        EXPECT_EQ(result.out, row.out);
        EXPECT_NE(result.err.find(row.errHas), std::string::npos) << result.err;
    }
}

TEST_F(ConvertCommand, ControlCharactersReachTheTerminalEscaped) {
    writeBytes(dir_.file("esc.txt"), "T\x1b]0;x\x07|n|A\u009b2J|B|x\x7f\r\n");
    const Outcome convertRun = convert("1", "A\u009b2J", "B", {"--catalog", "esc.txt"});
    EXPECT_EQ(convertRun.err, "velmora: the formula \"x\\x7f\" of T\\x1b]0;x\\x07: A\\u009b2J "
                              "\xE2\x86\x92 B cannot be computed: a character that begins no "
                              "token, or an operand that is not a number (engine code 3)\n");
    EXPECT_EQ(run({"--check", "esc.txt"}).out.substr(0, 30), "esc.txt:1: the formula \"x\\x7f\"");
    EXPECT_EQ(convert("1\x1b[2J", "B", "A").err,
              "velmora: the value \"1\\x1b[2J\" is not a number as a whole: the value cannot be "
              "read from \"\\x1b[2J\" on\n");
}

TEST_F(ConvertCommand, ANamesFilePastItsBoundIsRefusedAndLabelsStillWork) {
    writeBytes(dir_.file("names.txt"),
               "Kilometers|kmz\n" + std::string(maxNamesFileSize, '#') + "\n");
    const std::string refusal = "velmora: names.txt is larger than 16 MiB, the most the program "
                                "reads of it; units are found by their labels alone\n";
    const Outcome labels = convert("2", "Kilometers", "Meters");
    EXPECT_EQ(labels.out, "2000\n");
    EXPECT_EQ(labels.err, refusal);
    EXPECT_EQ(convert("2", "kmz", "Meters").status, 2);
    const Outcome check = run({"--check", "names.txt"});
    EXPECT_EQ(check.status, 2);
    EXPECT_EQ(check.err, "velmora: the names file names.txt is larger than 16 MiB, the most the "
                         "program reads of it\n");
    // At the bound, the file is read.
    writeBytes(dir_.file("names.txt"),
               "Kilometers|kmz\n" + std::string(maxNamesFileSize - 16, '#') + "\n");
    EXPECT_EQ(convert("2", "kmz", "Meters").out, "2000\n");
    // A file within it holding more names than are held is refused too.
    std::string many = "Kilometers|kmz";
    for (std::size_t i = 0; i < maxNames; ++i)
        many += "|a";
    writeBytes(dir_.file("names.txt"), many);
    const Outcome tooMany = convert("2", "kmz", "Meters");
    EXPECT_EQ(tooMany.status, 2);
    EXPECT_EQ(tooMany.err.substr(0, tooMany.err.find('\n')),
              "velmora: names.txt holds more than 2,000,000 names, the most the program holds; "
              "units are found by their labels alone");
}

TEST_F(ConvertCommand, InvisibleAndDirectionCharactersReachTheTerminalEscaped) {
    // Each would turn the rest of the line around or hide in it; visible characters stay.
    const char* const cases[][2] = {
        {"\u202E", "\\u202e"}, {"\u202A", "\\u202a"},         {"\u2066", "\\u2066"},
        {"\u2069", "\\u2069"}, {"\u200B", "\\u200b"},         {"\u200F", "\\u200f"},
        {"\u2028", "\\u2028"}, {"\u2029", "\\u2029"},         {"\uFEFF", "\\ufeff"},
        {"\u00AD", "\\u00ad"}, {"\U000E0041", "\\U000e0041"}, {"\u00B0", "\u00B0"},
        {"\u2192", "\u2192"},  {"\u05D0", "\u05D0"},
    };
    for (const auto& [typed, shown] : cases)
        EXPECT_EQ(convert(std::string("1") + typed + "x", "B", "A").err,
                  std::string("velmora: the value \"1") + shown +
                      "x\" is not a number as a whole: the value cannot be read from \"" + shown +
                      "x\" on\n")
            << shown;
}

TEST_F(ConvertCommand, TheFirstCategoryWithThePairWinsUnlessOneIsNamed) {
    EXPECT_EQ(convert("2", "Bytes", "Bits").out, "16\n");
    EXPECT_EQ(convert("2", "Bytes", "Bits", {"--category", "Data rate"}).out, "16000\n");
    // The category name, too, is matched ignoring letter case when it is not there as written.
    EXPECT_EQ(convert("2", "Bytes", "Bits", {"--category", "DATA RATE"}).out, "16000\n");
    EXPECT_EQ(convert("2", "Bytes", "Bits", {"--category", "Data"}).out, "16\n");
    // Hidden categories convert as well; only the window leaves them out.
    EXPECT_EQ(convert("1.016", "Meters", "Hands").out, "10\n");
}

TEST_F(ConvertCommand, LabelsAreMatchedByteForByteFirstThenIgnoringLetterCase) {
    // "METERS" to "FEET (INTERNATIONAL)" is in Case as written: that wins over Length's pair.
    EXPECT_EQ(convert("1", "METERS", "FEET (INTERNATIONAL)").out, "7\n");
    // Written in no category: the first category with the pair ignoring case, Length.
    EXPECT_EQ(convert("1", "meters", "feet (international)").out, "3.28083989501312\n");
    EXPECT_EQ(convert("100", "degrees celsius", "DEGREES FAHRENHEIT").out, "212\n");
}

TEST_F(ConvertCommand, AnUnknownUnitNamesItAndTheClosestLabels) {
    const Outcome unit = convert("1", "Kilomiles", "Meters");
    EXPECT_EQ(unit.status, 2);
    EXPECT_EQ(unit.out, "");
    // Each with its category, as no category was named.
    EXPECT_EQ(unit.err, "velmora: no unit \"Kilomiles\" to convert from in conv.txt; the "
                        "closest: \"Kilometers (Length)\", \"Liters per 100 kilometers (Fuel)\" "
                        "or \"Kilometers per liter (Fuel)\"\n");

    const Outcome inCategory = convert("1", "Kilomiles", "Meters", {"--category", "Length"});
    EXPECT_EQ(inCategory.status, 2);
    EXPECT_EQ(inCategory.err, "velmora: no unit \"Kilomiles\" to convert from in category "
                              "\"Length\"; the closest: \"Kilometers\", \"Meters\" or "
                              "\"Light years\"\n");
}

TEST_F(ConvertCommand, AnUnknownPairNamesTheUnitsAndTheClosestTargets) {
    const Outcome pair = convert("1", "Meters", "Yards");
    EXPECT_EQ(pair.status, 2);
    EXPECT_EQ(pair.out, "");
    EXPECT_EQ(pair.err, "velmora: no conversion from \"Meters\" to \"Yards\" in category "
                        "\"Length\"; the closest: \"Feet (international)\"\n");
    // Both units exist, but not this way round.
    const Outcome reverse = convert("1", "Meters", "Kilometers");
    EXPECT_EQ(reverse.status, 2);
    EXPECT_EQ(reverse.err, "velmora: no conversion from \"Meters\" to \"Kilometers\" in category "
                           "\"Length\"; the closest: \"Feet (international)\"\n");
    // A pair that only another category has.
    const Outcome elsewhere = convert("1", "Bytes", "Bits", {"--category", "Length"});
    EXPECT_EQ(elsewhere.status, 2);
    EXPECT_EQ(elsewhere.err.rfind("velmora: no unit \"Bytes\" to convert from in category "
                                  "\"Length\"; the closest: ",
                                  0),
              0u);
}

TEST_F(ConvertCommand, AnUnknownCategoryNamesTheClosestCategories) {
    const Outcome category =
        convert("1", "Meters", "Feet (international)", {"--category", "Lenght"});
    EXPECT_EQ(category.status, 2);
    EXPECT_EQ(category.out, "");
    EXPECT_EQ(category.err, "velmora: no category \"Lenght\" in conv.txt; the closest: "
                            "\"Length\", \"Fuel\" or \"Data\"\n");
}

TEST_F(ConvertCommand, AFormulaThatCannotBeComputedIsAnError) {
    const Outcome broken = convert("1", "Unit", "Other");
    EXPECT_EQ(broken.status, 2);
    EXPECT_EQ(broken.out, "");
    EXPECT_EQ(broken.err, "velmora: the formula \"X*2\" of Broken: Unit \xE2\x86\x92 Other "
                          "cannot be computed: a character that begins no token, or an operand "
                          "that is not a number (engine code 3)\n");
}

TEST_F(ConvertCommand, AMissingCatalogIsAnError) {
    const Outcome missing = convert("1", "Kilometers", "Meters", {"--catalog", "absent.txt"});
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.out, "");
    EXPECT_EQ(missing.err, "velmora: there is no catalog absent.txt\n");

    std::filesystem::remove(dir_.file("conv.txt"));
    const Outcome noDefault = convert("1", "Kilometers", "Meters");
    EXPECT_EQ(noDefault.status, 2);
    EXPECT_EQ(noDefault.err, "velmora: there is no catalog conv.txt\n");

    std::filesystem::create_directory(dir_.file("folder.txt"));
    const Outcome folder = convert("1", "Kilometers", "Meters", {"--catalog", "folder.txt"});
    EXPECT_EQ(folder.status, 2);
    EXPECT_EQ(folder.err, "velmora: cannot read the catalog folder.txt\n");

    writeBytes(dir_.file("empty.txt"), "");
    const Outcome empty = convert("1", "Kilometers", "Meters", {"--catalog", "empty.txt"});
    EXPECT_EQ(empty.status, 2);
    EXPECT_EQ(empty.err, "velmora: the catalog empty.txt holds no conversions\n");
}

TEST_F(ConvertCommand, ACatalogWithAByteOrderMarkIsReadAsTheWindowReadsIt) {
    writeBytes(dir_.file("bom.txt"), "\xEF\xBB\xBFLength|n|Yards|Meters|x*0.9144\r\n");
    const Outcome result =
        convert("10", "Yards", "Meters", {"--category", "Length", "--catalog", "bom.txt"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "9.144\n");
}

TEST_F(ConvertCommand, AGivenCatalogIsFoundFromTheCallersFolder) {
    TempDir caller;
    writeBytes(caller.file("mine.txt"), "Length|n|Yards|Meters|x*0.9144\n");
    EXPECT_EQ(
        run({"--convert", "10", "Yards", "Meters", "--catalog", "mine.txt"}, caller.path().string())
            .out,
        "9.144\n");
    // The default catalog is the one of the current folder, where the window reads it too.
    writeBytes(caller.file("conv.txt"), "Length|n|Kilometers|Meters|x*1\n");
    EXPECT_EQ(run({"--convert", "1", "Kilometers", "Meters"}, caller.path().string()).out,
              "1000\n");
}

} // namespace

// What --convert prints for query with the names of region: status, stdout and stderr.
Outcome convertWithNames(const ConversionCatalog& catalog, const std::string& names,
                         const std::string& query, std::string_view region) {
    ConvertRequest request;
    request.value = query;
    std::ostringstream out;
    std::ostringstream err;
    const UnitNames read = parseNamesFile(names, true, region).names;
    const int status = runConvertWith(request, QueryReader(catalog, read, {}, {}), out, err);
    return {status, out.str(), err.str()};
}

TEST(ConvertNames, PluralsRegionsAndPrefixesOfTheDeliveredNamesAreReadAsMeantOrRefused) {
    ConversionCatalog catalog;
    ASSERT_TRUE(catalog.load(VELMORA_DATA "/conv.txt"));
    std::string names;
    ASSERT_TRUE(readWholeFile(VELMORA_DATA "/names.txt", names));
    const struct {
        const char* query;
        const char* region;
        const char* out;
        // The line of stderr that names the units read, or says why nothing is converted.
        const char* err;
    } rows[] = {
        {"1 cup to ml", "", "236.5882365", "1 Cups (US customary) \u2192 Milliliters"},
        {"2 cups to ml", "", "473.176473", "2 Cups (US customary) \u2192 Milliliters"},
        {"3 gallons to l", "", "11.356235352", "3 Gallons (US liquid) \u2192 Liters"},
        {"5 miles to km", "", "8.04672", "5 Miles (international) \u2192 Kilometers"},
        {"5 nautical miles to km", "", "9.26", "5 Nautical miles \u2192 Kilometers"},
        {"2 pounds to kg", "", "0.90718474", "2 Pounds (avoirdupois) \u2192 Kilograms"},
        {"2 troy pounds to kg", "", "0.7464834432", "2 Troy pounds \u2192 Kilograms"},
        {"1 ton to kg", "", "907.18474", "1 Short tons (US) \u2192 Kilograms"},
        {"2 cups to ml", "GB", "568.26125", "2 Cups (imperial) \u2192 Milliliters"},
        {"3 gallons to l", "IE", "13.63827", "3 Gallons (imperial) \u2192 Liters"},
        {"1 ton to kg", "GB", "1016.0469088", "1 Long tons (imperial) \u2192 Kilograms"},
        {"1 tbsp to ml", "GB", "15", "1 Tablespoons (metric) \u2192 Milliliters"},
        {"1 t to kg", "GB", "1000", "1 Tonnes (metric tons) \u2192 Kilograms"},
        {"1 metric ton to kg", "", "1000", "1 Tonnes (metric tons) \u2192 Kilograms"},
        {"1 \u00B5l to ml", "", "0.001", "1 Microliters \u2192 Milliliters"},
        {"3 nl to ml", "", "3e-06", "3 Nanoliters (1e-9 Liters) \u2192 Milliliters"},
        {"2 GWh to MWh", "", "2000", "2 Gigawatt-hours (1e9 Watt-hours) \u2192 Megawatt-hours"},
        {"1 Mbit to kB", "", "125", "1 Megabits \u2192 Kilobytes (1000 bytes)"},
        {"1 MW to mW", "", "1000000000", "1 Megawatts \u2192 Milliwatts"},
        {"1 PB to TiB", "", "909.494701772928",
         "1 Petabytes (1000^5 bytes) \u2192 Tebibytes (1024^4 bytes)"},
        {"1 mK to \u00B0C", "", "-273.149", "1 Millikelvin (0.001 Kelvin) \u2192 Degrees Celsius"},
        {"1 dam to m", "", "10", "1 Decameters (10 Meters) \u2192 Meters"},
        // A name as written wins over a prefix; a prefix as written over a name that differs
        // from it in letter case ("Mm" is no "mm"); a word of a name is no name ("fl" of "fl
        // oz" is none, and f and l the femtoliter).
        {"1 min to s", "", "60", "1 Minutes \u2192 Seconds"},
        {"1 NM to km", "", "1.852", "1 Nautical miles \u2192 Kilometers"},
        {"1 Mm to km", "", "1000", "1 Megameters (1e6 Meters) \u2192 Kilometers"},
        {"2 Ms to s", "", "2000000", "2 Megaseconds (1e6 Seconds) \u2192 Seconds"},
        {"1 mWh to J", "", "3.6", "1 Milliwatt-hours (0.001 Watt-hours) \u2192 Joules"},
        {"1 fl to ml", "GB", "1e-12", "1 Femtoliters (1e-15 Liters) \u2192 Milliliters"},
        {"1 Pb to TB", "", "125", "1 Petabits (1e15 Bits) \u2192 Terabytes (1000^4 bytes)"},
        {"1 mw to kW", "", "", "\"mw\" could be: Milliwatts (mW), Megawatts (MW)"},
        {"1 dm3 to L", "", "1", "1 Cubic decimeters (0.001 Cubic meters) \u2192 Liters"},
        // Nothing out of range, and no quantity that begins with a prefixed unit.
        {"1e-300 qm to km", "", "",
         "1e-300 Quectometers (1e-30 Meters) in Kilometers is too small to print"},
        {"1 dam 5 m to m", "", "",
         "the value \"1 dam 5 m\" is in several units, the first of them"},
    };
    for (const auto& row : rows) {
        const Outcome result = convertWithNames(catalog, names, row.query, row.region);
        EXPECT_EQ(result.status, *row.out ? 0 : 2) << row.query << " " << row.region;
        EXPECT_EQ(result.out, *row.out ? std::string(row.out) + "\n" : "") << row.query;
        EXPECT_NE(result.err.find("velmora: " + std::string(row.err)), std::string::npos)
            << row.query << " " << row.region << ": " << result.err;
    }
    // Where the catalog has no line from Feet to Millimeters, through Meters.
    ConversionCatalog partial;
    partial.loadText("L|n|Feet|Meters|x*0.3048\nL|n|Meters|Millimeters|x*1000\n");
    const Outcome through =
        convertWithNames(partial, "Feet|ft\nMillimeters|mm\n", "2 ft to mm", "");
    EXPECT_EQ(through.out, "609.6\n");
    EXPECT_EQ(through.err, "velmora: 2 Feet \u2192 Millimeters (through Meters)\n");
}
