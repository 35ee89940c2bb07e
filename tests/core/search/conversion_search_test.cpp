#include "catalog/catalog.h"
#include "names/unit_names.h"
#include "query/suggestion_query.h"
#include "search/conversion_search.h"
#include "text/search_text.h"

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
             "Hidden|m to furlongs|Meters|Furlongs|x|0",
             "Length|m to ft|Meters|Feet (international)|x/0.3048",
             "Length|ft to m|Feet (international)|Meters|x*0.3048",
             "Length|pt to m|Points (1/72 inch)|Meters|x*0.0254/72",
             "Data|GiB to B|Gibibytes|Bytes|x*1073741824",
             "Mass|t to kg|Tonnes|Kilograms|x*1000",
             "Length|kWh|Kilowatt-hours|Meters|x",
         })
        catalog.parseLine(line);
}

// What Find ranks for what is typed.
SearchResult find(const ConversionSearch& search, std::string_view typed,
                  int limit = ConversionSearch::defaultLimit) {
    return search.find(parseSearchQuery(typed), limit);
}

Texts texts(const SearchResult& result) {
    Texts out;
    for (const ConversionMatch& match : result.matches)
        out.push_back(matchText(match));
    return out;
}

Texts keys(const std::vector<QueryWord>& words) {
    Texts out;
    for (const QueryWord& word : words)
        out.push_back(word.key);
    return out;
}

TEST(ConversionSearch, TheWordToOrAnArrowSplitsTheQueryAndAValueMayLeadIt) {
    const struct {
        std::string_view query;
        Texts from;
        Texts to;
        bool hasTo;
        std::string_view value = "";
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
        {"kilo to to", {"kilo", "to", "to"}, {}, false},
        {"tonnes", {"tonnes"}, {}, false},
        {"", {}, {}, false},
        // Values, also glued to the first unit, and symbols as one word each.
        {" 5 mi to km", {"mi"}, {"km"}, true, "5"},
        {"100F to \xC2\xB0"
         "C",
         {"f"},
         {"c"},
         true,
         "100"},
        {"-2.5e3l", {"l"}, {}, false, "-2.5e3"},
        {"60mph km/h", {"mph", "km/h"}, {}, false, "60"},
        {"1 m\xC2\xB2 N\xC2\xB7m \xC2\xB5s \xC2\xB0", {"m2", "n-m", "us"}, {}, false, "1"},
        {"1/72", {"1/72"}, {}, false},
        {"5,5 mi", {"5,5", "mi"}, {}, false},
        // Values as the input field reads them; several units give the From unit by the first.
        {"1 1/2 tsp to ml", {"tsp"}, {"ml"}, true, "1 1/2"},
        {"5 ft 11 in to cm", {"ft"}, {"cm"}, true, "5 ft 11 in"},
        {"5'11\" -> cm", {"ft"}, {"cm"}, true, "5'11\""},
    };
    for (const auto& row : rows) {
        const SearchQuery query = parseSearchQuery(row.query);
        EXPECT_EQ(keys(query.fromWords), row.from) << row.query;
        EXPECT_EQ(keys(query.toWords), row.to) << row.query;
        EXPECT_EQ(query.hasTo, row.hasTo) << row.query;
        EXPECT_EQ(query.value, row.value) << row.query;
    }
    EXPECT_NE(parseSearchQuery("5,5 mi").valueProblem, "");
    EXPECT_EQ(parseSearchQuery("5,5 mi", ',').value, "5,5");
    // A pasted page counts by its first words only.
    std::string page;
    for (int i = 0; i < 16000; ++i)
        page += "word" + std::to_string(i) + (i == 5 ? " to " : " ");
    const SearchQuery pasted = parseSearchQuery(page);
    EXPECT_TRUE(pasted.truncated);
    EXPECT_EQ(pasted.fromWords.size() + pasted.toWords.size(), SearchQuery::maxWords);
    EXPECT_FALSE(parseSearchQuery("a b c d e f g h i j").truncated);
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
        {"one word: its From units first", "met", {mKm, mFt, kmM, ftM, ptM, kwhM}},
        {"every word must match", "met fe", {mFt, ftM}},
        {"without to, the From unit's words first", "feet meters", {ftM, mFt}},
        {"to: before From, after To", "met to fe", {mFt}},
        {"to the other way", "fe to met", {ftM}},
        {"letter case does not matter", "MET To FE", {mFt}},
        {"arrow", "m \xE2\x86\x92 k", {mKm}},
        {"arrow in ASCII", "m->k", {mKm}},
        {"a word inside brackets", "intern", {ftM, mFt}},
        {"digits are words", "1/72", {ptM}},
        {"a word after a hyphen", "hours", {kwhM}},
        {"not the middle of a word", "ete", {}},
        {"not the whole label as one prefix", "feet (int", {ftM, mFt}},
        {"nothing before to: any From", "to kilog", {tonnes}},
        {"nothing after to: any To", "kilo to", {kmM, kwhM}},
        {"to alone: everything", "to", {kmM, mKm, mFt, ftM, ptM, kwhM, gib, tonnes}},
        {"a word starting with to is no separator", "ton", {tonnes}},
        {"the category name is not searched", "length", {}},
        {"hidden categories are not searched", "furlong", {}},
        {"no match", "parsec", {}},
    };
    for (const auto& row : rows) {
        const SearchResult result = find(search, row.query);
        EXPECT_EQ(texts(result), row.expected) << row.what;
        EXPECT_EQ(result.total, static_cast<int>(row.expected.size())) << row.what;
    }
}

TEST(ConversionSearch, MatchesCarryTheTabOfTheirCategoryAmongTheShownOnes) {
    ConversionCatalog catalog;
    fillCatalog(catalog);
    const ConversionSearch search(catalog);
    EXPECT_EQ(search.size(), 8);
    const SearchResult result = find(search, "gib to by");
    ASSERT_EQ(result.matches.size(), 1u);
    EXPECT_EQ(result.matches[0].tab, 1); // Hidden has no tab
    EXPECT_EQ(result.matches[0].category, catalog.findCategory("Data"));
    EXPECT_EQ(result.matches[0].conversion, catalog.findCategory("Data")->conversionAt(0));
    EXPECT_EQ(find(search, "ton").matches.at(0).tab, 2);
    EXPECT_EQ(find(search, "kilomet to met").matches.at(0).tab, 0);
}

TEST(ConversionSearch, ListsAtMostTheCapButCountsEveryMatch) {
    ConversionCatalog catalog;
    for (int i = 0; i < 1000; ++i)
        catalog.parseLine("Big|n|Unit " + std::to_string(i) + "|Other|x");
    const ConversionSearch search(catalog);
    const SearchResult all = find(search, "");
    EXPECT_EQ(ConversionSearch::defaultLimit, 300);
    EXPECT_EQ(all.matches.size(), 300u);
    EXPECT_EQ(all.total, 1000);
    EXPECT_EQ(matchText(all.matches.back()), "Big: Unit 299 \xE2\x86\x92 Other");
    const SearchResult some = find(search, "unit 5");
    // 5, 50-59 and 500-599.
    EXPECT_EQ(some.total, 111);
    EXPECT_EQ(find(search, "unit", 7).matches.size(), 7u);
}

TEST(ConversionSearch, LabelsOfAWindows1252CatalogMatchAsShown) {
    ConversionCatalog catalog;
    catalog.parseLine("Length|n|\xC5ngstr\xF6m|Meters|x*1e-10"); // Ångström in Windows-1252
    const ConversionSearch search(catalog);
    const SearchResult result = find(search, "\xC3\x85NGS to m"); // typed as UTF-8 capitals
    ASSERT_EQ(result.matches.size(), 1u);
    EXPECT_EQ(matchText(result.matches[0]), "Length: \xC3\x85ngstr\xC3\xB6m \xE2\x86\x92 Meters");
}

} // namespace

TEST(ConversionSearch, RanksExactThenPrefixThenLettersInOrderThenTypos) {
    ConversionCatalog catalog;
    for (const char* line : {
             "Length|n|Meters|Millimeters|x*1000",
             "Length|n|Millimeters|Meters|x/1000",
             "Length|n|Miles (international)|Meters|x*1609.344",
             "Length|n|Meters|Miles (international)|x/1609.344",
             "Length|n|Mils|Meters|x*0.0000254",
             "Length|n|Kilometers|Meters|x*1000",
             "Mass|n|Kilograms|Grams|x*1000",
             "Power|n|Milliwatts|Megawatts|x/1e9",
             "Power|n|Megawatts|Milliwatts|x*1e9",
             "Volume|n|Fluid ounces (US)|Milliliters|x*29.5735295625",
             "Area|n|km\xC2\xB2|m\xC2\xB2|x*1e6",
             "Temperature|n|\u00B0C|\u00B0F|x*1.8+32",
             "Temperature|n|R\u00E9aumur|\u00B0C|x*1.25",
             "Length|n|\xC2\xB5m|Meters|x/1e6",
         })
        catalog.parseLine(line);
    const NamesFile file = parseNamesFile("Meters|m|metre\nMiles (international)|mi|mile\n"
                                          "Mils|mil\nKilometers|km\nMilliwatts|mW\n"
                                          "Megawatts|MW\nFluid ounces (US)|fl oz\n");
    const ConversionSearch search(catalog, file.names);
    const std::string milM = "Length: Mils \xE2\x86\x92 Meters";
    const std::string mMm = "Length: Meters \xE2\x86\x92 Millimeters";
    const std::string mmM = "Length: Millimeters \xE2\x86\x92 Meters";
    const std::string miM = "Length: Miles (international) \xE2\x86\x92 Meters";
    const std::string mMi = "Length: Meters \xE2\x86\x92 Miles (international)";
    const std::string kgG = "Mass: Kilograms \xE2\x86\x92 Grams";
    const std::string cF = "Temperature: \u00B0C \u2192 \u00B0F";
    const std::string reC = "Temperature: R\u00E9aumur \u2192 \u00B0C";
    const struct {
        std::string_view query;
        Texts first;
        MatchRank rank;
    } rows[] = {
        // A name above the prefixes of earlier conversions; a lone word names the From unit.
        {"mil", {milM, mmM, miM}, MatchRank::Exact},
        {"millim", {mmM, mMm}, MatchRank::Prefix},
        {"mlm", {mmM, mMm}, MatchRank::InOrder},
        {"kilogarms", {kgG}, MatchRank::Typo},
        {"xrams", {kgG}, MatchRank::Typo},
        {"kelogrxms", {kgG}, MatchRank::Typo},
        {"gxamx", {}, MatchRank::None},
        {"xra", {}, MatchRank::None},
        // Without "to", the way round that reads in typed order first.
        {"2.5 m mi", {mMi, miM}, MatchRank::Exact},
        {"2.5mi m", {miM, mMi}, MatchRank::Exact},
        // Names that differ only by letter case: the one typed so.
        {"MW to", {"Power: Megawatts \xE2\x86\x92 Milliwatts"}, MatchRank::Exact},
        {"mW to", {"Power: Milliwatts \xE2\x86\x92 Megawatts"}, MatchRank::Exact},
        // Two words that make one name.
        {"fl oz to milliliters",
         {"Volume: Fluid ounces (US) \xE2\x86\x92 Milliliters"},
         MatchRank::Exact},
        // Labels of signs meet typed words as names do: m² as m2, °C as c, µm as um.
        {"km\xC2\xB2 to m\xC2\xB2", {"Area: km\xC2\xB2 \xE2\x86\x92 m\xC2\xB2"}, MatchRank::Exact},
        {"\u00B0C", {cF, reC}, MatchRank::Exact},
        {"C to f", {cF}, MatchRank::Exact},
        {"\xC2\xB5m", {"Length: \xC2\xB5m \xE2\x86\x92 Meters"}, MatchRank::Exact},
        // One accented letter amiss is one typo.
        {"reaumur", {reC}, MatchRank::Typo},
    };
    for (const auto& row : rows) {
        const SearchResult result = find(search, row.query);
        Texts first = texts(result);
        first.resize(std::min(first.size(), row.first.size()));
        EXPECT_EQ(first, row.first) << row.query;
        EXPECT_EQ(result.matches.empty() ? MatchRank::None : result.matches[0].rank, row.rank)
            << row.query;
    }
    EXPECT_EQ(find(search, "2.5mi m").value, "2.5");

    const struct {
        std::string_view query;
        std::string_view why;
    } misses[] = {
        {"kmx to m", "No unit is called \"kmx\"; the closest: km, km\xC2\xB2."},
        {"qqqq", "No unit is called \"qqqq\"."},
        {"miles to kg", "No conversion from Miles (international) to Kilograms."},
        {"kg milliwatts", "No conversion from Kilograms to Milliwatts."},
        {"meters kilograms to", "No unit matches all of \"meters kilograms\"."},
    };
    for (const auto& miss : misses) {
        const SearchResult result = find(search, miss.query);
        EXPECT_EQ(result.total, 0) << miss.query;
        EXPECT_EQ(result.whyNone, miss.why) << miss.query;
    }
}

TEST(UnitNames, EveryWayANameMatchesHoldsAmongManyNames) {
    ConversionCatalog catalog;
    for (const char* line : {"Volume|n|Fluid ounces (US)|Milliliters|x*29.5735295625",
                             "Length|n|Meters|Feet|x/0.3048", "Length|n|Feet|Meters|x*0.3048"})
        catalog.parseLine(line);
    const std::string longName(70, 'q');
    std::string text = "Fluid ounces (US)|fl oz|us-floz\nMeters|metre|" + longName +
                       "\nFeet|ft\nFurlongs|furlong|zzmetre\n";
    // Names of others, so that the ones looked for are few among many.
    for (int i = 0; i < 20000; ++i)
        text += (i % 2 ? "Meters|n" : "Feet|n") + std::to_string(i) + "_x\n";
    const NamesFile file = parseNamesFile(text);
    const ConversionSearch search(catalog, file.names);
    const std::string ozMl = "Volume: Fluid ounces (US) \xE2\x86\x92 Milliliters";
    const std::string mFt = "Length: Meters \xE2\x86\x92 Feet";
    const std::string ftM = "Length: Feet \xE2\x86\x92 Meters";
    const struct {
        std::string what;
        std::string query;
        std::string first;
        MatchRank rank;
    } rows[] = {
        {"a later word of a name", "oz to milliliters", ozMl, MatchRank::Prefix},
        {"a later part joined by a hyphen", "floz to milliliters", ozMl, MatchRank::Prefix},
        {"a typo of a name", "mtere to ft", mFt, MatchRank::Typo},
        {"a typo of a name longer than 64 bytes", longName.substr(1) + "x to ft", mFt,
         MatchRank::Typo},
        {"the start of a numbered name", "n1999 to m", ftM, MatchRank::Prefix},
        {"a numbered name whole", "n19998_x to meters", ftM, MatchRank::Exact},
    };
    for (const auto& row : rows) {
        const SearchResult result = find(search, row.query);
        ASSERT_FALSE(result.matches.empty()) << row.what;
        EXPECT_EQ(matchText(result.matches[0]), row.first) << row.what;
        EXPECT_EQ(result.matches[0].rank, row.rank) << row.what;
    }
    // A label the catalog lacks lends none of its names, neither to match nor to suggest.
    EXPECT_EQ(find(search, "zzzmetre to ft").whyNone,
              "No unit is called \"zzzmetre\"; the closest: metre.");

    // Names given after a search was made reach the next search only. ("foot" would find Feet
    // by its label word in the other number.)
    UnitNames more = file.names;
    more.add("Feet", "pied");
    EXPECT_EQ(find(search, "pied to m").total, 0);
    EXPECT_EQ(find(ConversionSearch(catalog, more), "pied to m").total, 1);
    EXPECT_EQ(more.of("feet").size(), file.names.of("feet").size() + 1);
}

TEST(ConversionSearch, TheKeysPerTaskOfTheReadmeFindTheirConversionFirst) {
    ConversionCatalog catalog;
    ASSERT_TRUE(catalog.load(VELMORA_DATA "/conv.txt"));
    const UnitNames names = readUnitNames(VELMORA_DATA "/names.txt");
    const ConversionSearch search(catalog, names);
    const char* const rows[][2] = {
        {"5mi", "Length: Miles (international) \u2192 Kilometers"},
        {"100f", "Temperature: Degrees Fahrenheit \u2192 Degrees Celsius"},
        {"2cup", "Volume: Cups (US customary) \u2192 Milliliters"},
        {"60mph", "Speed: Miles per hour \u2192 Kilometers per hour"},
        {"1ac", "Area: Acres (international) \u2192 Square meters"},
        {"3ft", "Length: Feet (international) \u2192 Meters"},
        {"20c", "Temperature: Degrees Celsius \u2192 Degrees Fahrenheit"},
        {"500g", "Mass: Grams \u2192 Ounces (avoirdupois)"},
        {"5lb", "Mass: Pounds (avoirdupois) \u2192 Kilograms"},
        {"1kwh", "Energy: Kilowatt-hours \u2192 Megajoules"},
    };
    for (const auto& [query, first] : rows) {
        const SearchResult result = find(search, query);
        ASSERT_FALSE(result.matches.empty()) << query;
        EXPECT_EQ(matchText(result.matches[0]), first) << query;
    }
}

TEST(UnitNames, APluralIsItsSingularAndANameOutranksAWordOfAnotherLabel) {
    // Short words and symbols are no plurals.
    const char* const words[][2] = {{"cups", "cup"},  {"inches", "inch"}, {"centuries", "century"},
                                    {"feet", "foot"}, {"ms", ""},         {"gauss", ""},
                                    {"celsius", ""}};
    for (const auto& [word, singular] : words)
        EXPECT_EQ(singularOf(word), singular) << word;

    ConversionCatalog catalog;
    for (const char* line :
         {"V|n|Cups (US customary)|Milliliters|x*236.5882365",
          "V|n|Cups (metric)|Milliliters|x*250", "L|n|Nautical miles|Kilometers|x*1.852",
          "L|n|Miles (international)|Kilometers|x*1.609344",
          "M|n|Troy pounds|Kilograms|x*0.3732417216",
          "M|n|Pounds (avoirdupois)|Kilograms|x*0.45359237"})
        catalog.parseLine(line);
    // Singulars only: plurals are read as their singular, the names as typed.
    const NamesFile file = parseNamesFile("Cups (US customary)|cup\nCups (metric)|metric cup\n"
                                          "Miles (international)|mile\nNautical miles|nautical "
                                          "mile\nPounds (avoirdupois)|pound\nTroy pounds|troy "
                                          "pound\n");
    const ConversionSearch search(catalog, file.names);
    const struct {
        std::string_view query;
        std::string_view first;
        MatchRank rank;
    } rows[] = {
        {"2 cups to milliliters", "V: Cups (US customary) \u2192 Milliliters", MatchRank::Exact},
        {"metric cups", "V: Cups (metric) \u2192 Milliliters", MatchRank::Exact},
        {"miles to kilometers", "L: Miles (international) \u2192 Kilometers", MatchRank::Exact},
        {"nautical miles", "L: Nautical miles \u2192 Kilometers", MatchRank::Exact},
        {"pounds", "M: Pounds (avoirdupois) \u2192 Kilograms", MatchRank::Exact},
        {"troy pounds", "M: Troy pounds \u2192 Kilograms", MatchRank::Exact},
        // A word of a label, the other number of one, and the whole label.
        {"cup milliliter", "V: Cups (US customary) \u2192 Milliliters", MatchRank::Word},
        {"Troy pounds to Kilograms", "M: Troy pounds \u2192 Kilograms", MatchRank::Exact},
    };
    for (const auto& row : rows) {
        const SearchResult result = find(search, row.query);
        EXPECT_EQ(result.matches.empty() ? "" : matchText(result.matches[0]), row.first)
            << row.query;
        EXPECT_EQ(result.matches.empty() ? MatchRank::None : result.matches[0].rank, row.rank)
            << row.query;
    }
}
