#include "catalog/catalog.h"
#include "names/unit_names.h"
#include "query/query_reader.h"
#include "search/closest_labels.h"

#include <ctime>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

TEST(ClosestLabels, StayLinearInTheNumberOfLabelsAndBoundedInTheirLength) {
    std::vector<std::string> labels;
    std::string lines;
    for (int i = 0; i < 100000; ++i) {
        labels.push_back("Unit " + std::to_string(i * 7919 % 1000003) + " of measure");
        lines += "C|n|" + labels.back() + "|Base|x\n";
    }
    ConversionCatalog catalog;
    catalog.loadText(lines);
    const UnitNames none;
    const QueryReader reader(catalog, none, {}, {});
    for (const std::string& text : {std::string("Unit 12 of masure"), std::string(130000, 'u')}) {
        // Processor time, so that other work on the machine does not count. The square of the
        // labels took many seconds even in a release build; a sanitizer build needs about 0.7 s
        // for each, the refusal of a unit no label has finding the closest labels as well.
        std::clock_t start = std::clock();
        EXPECT_EQ(closestLabels(text, labels).size(), 3u);
        EXPECT_LT(std::clock() - start, 2 * CLOCKS_PER_SEC);
        start = std::clock();
        EXPECT_FALSE(reader.conversion("1", text, "base").ok());
        EXPECT_LT(std::clock() - start, 2 * CLOCKS_PER_SEC);
    }
}

TEST(ClosestLabels, WordPrefixesThenAbbreviationsThenEditDistance) {
    const std::vector<std::string> labels{"Kilometers",
                                          "Meters",
                                          "Miles (international)",
                                          "Nautical miles",
                                          "Feet (international)",
                                          "Kilometers per hour"};
    EXPECT_EQ(closestLabels("miles", labels),
              (std::vector<std::string>{"Miles (international)", "Nautical miles", "Meters"}));
    EXPECT_EQ(closestLabels("Kilometre", labels, 2),
              (std::vector<std::string>{"Kilometers", "Kilometers per hour"}));
    EXPECT_EQ(closestLabels("km", labels, 2),
              (std::vector<std::string>{"Kilometers", "Kilometers per hour"}));
    EXPECT_EQ(closestLabels("Fet", labels, 1), (std::vector<std::string>{"Feet (international)"}));
    EXPECT_EQ(closestLabels("x", {}), std::vector<std::string>{});
}

} // namespace
