#include "catalog/catalog.h"
#include "names/unit_names.h"
#include "query/suggestion_query.h"
#include "search/conversion_search.h"
#include "settings/user_region.h"

#include <gtest/gtest.h>
#include <string>
#include <string_view>
#include <vector>

namespace {

using Texts = std::vector<std::string>;

// What Find ranks for what is typed.
SearchResult find(const ConversionSearch& search, std::string_view typed) {
    return search.find(parseSearchQuery(typed));
}

TEST(UnitNames, LinesGiveALabelItsNamesAndTheRestIsReported) {
    const NamesFile file = parseNamesFile("\xEF\xBB\xBF# a comment\r\n"
                                          "Meters|m|metre| |metres\r\n"
                                          "\r\n"
                                          "just text\n"
                                          "|m\n"
                                          "Hands|\n"
                                          "Feet|\xC2\xB0|ft\n"
                                          "feet (US survey)|ft\n"
                                          "METERS|meter");
    EXPECT_EQ(file.lines, 9);
    EXPECT_EQ(file.nameCount, 6);
    EXPECT_EQ(file.names.of("meters"), (Texts{"m", "metre", "metres", "meter"}));
    EXPECT_EQ(file.names.of("Feet (US Survey)"), Texts{"ft"});
    EXPECT_EQ(file.names.of("Yards"), Texts{});
    std::vector<int> lines;
    for (const NamesProblem& problem : file.problems)
        lines.push_back(problem.line);
    EXPECT_EQ(lines, (std::vector<int>{4, 5, 6, 7}));
    EXPECT_EQ(file.problems[3].message,
              "the name \"\xC2\xB0\" has no letter or digit, so nothing typed can match it");
    EXPECT_EQ(file.labels.size(), 4u);

    // A name given to two labels finds both.
    ConversionCatalog catalog;
    catalog.parseLine("L|n|Feet|Meters|x*0.3048");
    catalog.parseLine("L|n|Feet (US survey)|Meters|x*0.3048006");
    EXPECT_EQ(find(ConversionSearch(catalog, file.names), "ft to m").total, 2);
}

TEST(UnitNames, ALineOfManySeparatorsGivesItsNames) {
    const NamesFile file =
        parseNamesFile("Meters" + std::string(1000000, '|') + "metre" + std::string(1000, '|'));
    EXPECT_EQ(file.names.of("Meters"), Texts{"metre"});
    EXPECT_TRUE(file.problems.empty());
}

TEST(UnitNames, RegionalNamesAreTheirUnitsOnlyInTheirRegions) {
    const std::pair<std::string_view, std::string_view> locales[] = {
        {"en_GB.UTF-8", "GB"}, {"en_ie@euro", "IE"}, {"es_419.UTF-8", "419"}, {"C", ""},
        {"POSIX", ""},         {"en", ""},           {"en_GBR", ""}};
    for (const auto& [locale, region] : locales)
        EXPECT_EQ(regionOfLocale(locale), region) << locale;
    // LC_ALL, then LC_MEASUREMENT, then LANG; a set one decides, even without a region.
    EXPECT_EQ(regionOfLocaleVariables(nullptr, "en_GB.UTF-8", "en_US.UTF-8"), "GB");
    EXPECT_EQ(regionOfLocaleVariables("", "", "en_IE.UTF-8"), "IE");
    EXPECT_EQ(regionOfLocaleVariables("C", "en_GB.UTF-8", "en_GB.UTF-8"), "");

    const std::string file = "Gallons (US liquid)|gal|gallon|us gal\n"
                             "Gallons (imperial)|imp gal|gal@GB,IE|gallon@GB,IE\n"
                             "Gals|Gal\n";
    const struct {
        std::string_view region;
        Texts us;
        Texts imperial;
    } rows[] = {
        {"", {"gal", "gallon", "us gal"}, {"imp gal"}},
        {"US", {"gal", "gallon", "us gal"}, {"imp gal"}},
        {"IE", {"us gal"}, {"imp gal", "gal", "gallon"}},
    };
    for (const auto& row : rows) {
        const NamesFile names = parseNamesFile(file, true, row.region);
        EXPECT_EQ(names.names.of("Gallons (US liquid)"), row.us) << row.region;
        EXPECT_EQ(names.names.of("Gallons (imperial)"), row.imperial) << row.region;
        // The galileo's Gal differs by its capital.
        EXPECT_EQ(names.names.of("Gals"), Texts{"Gal"}) << row.region;
        EXPECT_TRUE(names.problems.empty()) << row.region;
    }
    // Tags that cannot be read are reported, and name nothing.
    const NamesFile bad = parseNamesFile("Liters|l@gb|@si l|@kilo: l|L@GB IE\n", true, "GB");
    EXPECT_EQ(bad.problems.size(), 4u);
    EXPECT_TRUE(bad.names.of("Liters").empty());

    // Find lists the catalog's conversions; of a prefixed unit it says that it has no entry.
    ConversionCatalog catalog;
    catalog.parseLine("V|n|Liters|Milliliters|x*1000");
    EXPECT_EQ(find(ConversionSearch(catalog, parseNamesFile("Liters|l|@si: l\n").names),
                   "5 nl to milliliters")
                  .whyNone,
              "\"nl\" is Nanoliters (1e-9 Liters), which the list has no entry for: choose "
              "Liters.");
}

} // namespace
