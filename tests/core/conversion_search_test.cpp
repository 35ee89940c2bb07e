#include "catalog/case_fold.h"
#include "catalog/catalog.h"
#include "commands/conversion_search.h"

#include <gtest/gtest.h>
#include <string>
#include <string_view>
#include <vector>

namespace {

using Texts = std::vector<std::string>;

// Shown categories Length, Data and Mass; Hidden (second in the file) has no tab, so Data's tab
// is 1.
void fillCatalog(ConversionCatalog& catalog) {
    for (const char* line : {
             "Length|km to m|Kilometers|Meters|x*1000",
             "Length|m to km|Meters|Kilometers|x/1000",
             "Hidden|m to metres|Meters|Metres|x|0",
             "Length|m to ft|Meters|Feet (international)|x/0.3048",
             "Length|ft to m|Feet (international)|Meters|x*0.3048",
             "Length|pt to m|Points (1/72 inch)|Meters|x*0.0254/72",
             "Data|GiB to B|Gibibytes|Bytes|x*1073741824",
             "Mass|t to kg|Tonnes|Kilograms|x*1000",
             "Length|kWh|Kilowatt-hours|Meters|x",
         })
        catalog.parseLine(line);
}

Texts texts(const SearchResult& result) {
    Texts out;
    for (const ConversionMatch& match : result.matches)
        out.push_back(matchText(match));
    return out;
}

TEST(CaseFold, FoldsTheCapitalsOfLatinGreekAndCyrillic) {
    const struct {
        std::string_view text;
        std::string_view folded;
    } rows[] = {
        {"Meters (US Survey) 1/72", "meters (us survey) 1/72"},
        {"\xC3\x85NGSTR\xC3\x96M", "\xC3\xA5ngstr\xC3\xB6m"},             // ÅNGSTRÖM
        {"\xC3\x97\xC3\x9F\xC2\xB5", "\xC3\x97\xC3\x9F\xC2\xB5"},         // ×ßµ stay
        {"\xC5\x81\xC3\x93\x44\xC5\xB9", "\xC5\x82\xC3\xB3\x64\xC5\xBA"}, // ŁÓDŹ
        {"\xC5\xB8", "\xC3\xBF"},                                         // Ÿ
        {"\xCE\x94\xCE\x95\xCE\x9B\xCE\xA4\xCE\x91", "\xCE\xB4\xCE\xB5\xCE\xBB\xCF\x84\xCE\xB1"},
        {"\xD0\x9C\xD0\x95\xD0\xA2\xD0\xA0", "\xD0\xBC\xD0\xB5\xD1\x82\xD1\x80"}, // МЕТР
        {"\xC5\x1A\xFF", "\xC5\x1A\xFF"}, // not UTF-8: unchanged
    };
    for (const auto& row : rows)
        EXPECT_EQ(foldCase(row.text), row.folded) << row.text;
    EXPECT_TRUE(equalIgnoringCase("Degrees CELSIUS", "degrees celsius"));
    EXPECT_FALSE(equalIgnoringCase("Meters", "Metres"));
}

TEST(ConversionSearch, LabelsSplitIntoFoldedWordsOfLettersAndDigits) {
    EXPECT_EQ(searchWords("Inches (international)"), (Texts{"inches", "international"}));
    EXPECT_EQ(searchWords("Points (1/72 inch)"), (Texts{"points", "1", "72", "inch"}));
    EXPECT_EQ(searchWords("Kilowatt-hours"), (Texts{"kilowatt", "hours"}));
    EXPECT_EQ(searchWords("\xC3\x85ngstr\xC3\xB6m"), (Texts{"\xC3\xA5ngstr\xC3\xB6m"}));
    EXPECT_EQ(searchWords("  "), Texts{});
}

TEST(ConversionSearch, TheWordToOrAnArrowSplitsTheQuery) {
    const struct {
        std::string_view query;
        Texts from;
        Texts to;
        bool hasTo;
    } rows[] = {
        {"met fe", {"met", "fe"}, {}, false},
        {"met to fe", {"met"}, {"fe"}, true},
        {"Met TO Fe", {"met"}, {"fe"}, true},
        {"met \xE2\x86\x92 fe", {"met"}, {"fe"}, true},
        {"met\xE2\x86\x92"
         "fe",
         {"met"},
         {"fe"},
         true},
        {"met->fe", {"met"}, {"fe"}, true},
        {"to", {}, {}, true},
        {"to tonnes", {}, {"tonnes"}, true},
        {"kilo to to", {"kilo"}, {"to"}, true},
        {"tonnes", {"tonnes"}, {}, false},
        {"", {}, {}, false},
    };
    for (const auto& row : rows) {
        const SearchQuery query = parseSearchQuery(row.query);
        EXPECT_EQ(query.fromWords, row.from) << row.query;
        EXPECT_EQ(query.toWords, row.to) << row.query;
        EXPECT_EQ(query.hasTo, row.hasTo) << row.query;
    }
}

TEST(ConversionSearch, MatchesByWordPrefixesInCatalogOrder) {
    ConversionCatalog catalog;
    fillCatalog(catalog);
    const ConversionSearch search(catalog);
    const std::string kmM = "Length: Kilometers \xE2\x86\x92 Meters";
    const std::string mKm = "Length: Meters \xE2\x86\x92 Kilometers";
    const std::string mFt = "Length: Meters \xE2\x86\x92 Feet (international)";
    const std::string ftM = "Length: Feet (international) \xE2\x86\x92 Meters";
    const std::string ptM = "Length: Points (1/72 inch) \xE2\x86\x92 Meters";
    const std::string kwhM = "Length: Kilowatt-hours \xE2\x86\x92 Meters";
    const std::string gib = "Data: Gibibytes \xE2\x86\x92 Bytes";
    const std::string tonnes = "Mass: Tonnes \xE2\x86\x92 Kilograms";
    const struct {
        const char* what;
        std::string_view query;
        Texts expected;
    } rows[] = {
        {"empty: every shown conversion", "", {kmM, mKm, mFt, ftM, ptM, kwhM, gib, tonnes}},
        {"a prefix of From or To", "met", {kmM, mKm, mFt, ftM, ptM, kwhM}},
        {"every word must match", "met fe", {mFt, ftM}},
        {"words on either side without to", "feet meters", {mFt, ftM}},
        {"to: before From, after To", "met to fe", {mFt}},
        {"to the other way", "fe to met", {ftM}},
        {"letter case does not matter", "MET To FE", {mFt}},
        {"arrow", "m \xE2\x86\x92 k", {mKm}},
        {"arrow in ASCII", "m->k", {mKm}},
        {"a word inside brackets", "intern", {mFt, ftM}},
        {"digits are words", "1/72", {ptM}},
        {"a word after a hyphen", "hours", {kwhM}},
        {"not the middle of a word", "eters", {}},
        {"not the whole label as one prefix", "feet (int", {mFt, ftM}},
        {"nothing before to: any From", "to kilog", {tonnes}},
        {"nothing after to: any To", "kilo to", {kmM, kwhM}},
        {"to alone: everything", "to", {kmM, mKm, mFt, ftM, ptM, kwhM, gib, tonnes}},
        {"a word starting with to is no separator", "ton", {tonnes}},
        {"the category name is not searched", "length", {}},
        {"hidden categories are not searched", "metres", {}},
        {"no match", "parsec", {}},
    };
    for (const auto& row : rows) {
        const SearchResult result = search.find(row.query);
        EXPECT_EQ(texts(result), row.expected) << row.what;
        EXPECT_EQ(result.total, static_cast<int>(row.expected.size())) << row.what;
    }
}

TEST(ConversionSearch, MatchesCarryTheTabOfTheirCategoryAmongTheShownOnes) {
    ConversionCatalog catalog;
    fillCatalog(catalog);
    const ConversionSearch search(catalog);
    EXPECT_EQ(search.size(), 8);
    const SearchResult result = search.find("gib to by");
    ASSERT_EQ(result.matches.size(), 1u);
    EXPECT_EQ(result.matches[0].tab, 1); // Hidden has no tab
    EXPECT_EQ(result.matches[0].category, catalog.findCategory("Data"));
    EXPECT_EQ(result.matches[0].conversion, catalog.findCategory("Data")->conversionAt(0));
    EXPECT_EQ(search.find("ton").matches.at(0).tab, 2);
    EXPECT_EQ(search.find("kilomet to met").matches.at(0).tab, 0);
}

TEST(ConversionSearch, ListsAtMostTheCapButCountsEveryMatch) {
    ConversionCatalog catalog;
    for (int i = 0; i < 1000; ++i)
        catalog.parseLine("Big|n|Unit " + std::to_string(i) + "|Other|x");
    const ConversionSearch search(catalog);
    const SearchResult all = search.find("");
    EXPECT_EQ(ConversionSearch::defaultLimit, 300);
    EXPECT_EQ(all.matches.size(), 300u);
    EXPECT_EQ(all.total, 1000);
    EXPECT_EQ(matchText(all.matches.back()), "Big: Unit 299 \xE2\x86\x92 Other");
    const SearchResult some = search.find("unit 5");
    // 5, 50-59 and 500-599.
    EXPECT_EQ(some.total, 111);
    EXPECT_EQ(search.find("unit", 7).matches.size(), 7u);
}

TEST(ConversionSearch, LabelsOfAWindows1252CatalogMatchAsShown) {
    ConversionCatalog catalog;
    catalog.parseLine("Length|n|\xC5ngstr\xF6m|Meters|x*1e-10"); // Ångström in Windows-1252
    const ConversionSearch search(catalog);
    const SearchResult result = search.find("\xC3\x85NGS to m"); // typed as UTF-8 capitals
    ASSERT_EQ(result.matches.size(), 1u);
    EXPECT_EQ(matchText(result.matches[0]), "Length: \xC3\x85ngstr\xC3\xB6m \xE2\x86\x92 Meters");
}

} // namespace
