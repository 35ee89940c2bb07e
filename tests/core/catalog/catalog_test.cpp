#include "catalog/catalog.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

std::vector<int> groupsOf(const std::vector<std::string>& labels) {
    ConversionCatalog catalog;
    Category& category = catalog.addCategory("C");
    std::vector<int> groups;
    for (const auto& label : labels)
        groups.push_back(category.addConversion("n", label, "to", "x").fromGroup());
    return groups;
}

struct GroupingCase {
    const char* what;
    std::vector<std::string> labels;
    std::vector<int> groups;
};

TEST(CatalogGrouping, GroupsFollowFirstAppearanceByteForByte) {
    const GroupingCase cases[] = {
        {"recurring label reuses its group", {"A", "B", "A", "C"}, {0, 1, 0, 2}},
        {"letter case opens a new group", {"Feet", "feet", "FEET", "Feet"}, {0, 1, 2, 0}},
        {"inner blanks open a new group", {"a b", "ab", "a  b", "a b"}, {0, 1, 2, 0}},
        {"empty label is a label of its own", {"", "A", ""}, {0, 1, 0}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(groupsOf(c.labels), c.groups) << c.what;
}

TEST(CatalogGrouping, IndexHoldsOneEntryPerGroupInOrder) {
    ConversionCatalog catalog;
    Category& category = catalog.addCategory("C");
    for (const char* label : {"A", "B", "A", "C", "a"})
        category.addConversion("n", label, "t", "x");
    ASSERT_EQ(category.fromUnitCount(), 4);
    const char* expected[] = {"A", "B", "C", "a"};
    for (int group = 0; group < 4; ++group) {
        EXPECT_EQ(category.fromUnitAt(group).group, group);
        EXPECT_EQ(category.fromUnitAt(group).label, expected[group]);
        EXPECT_EQ(category.findFromGroup(expected[group]), group);
    }
    EXPECT_EQ(category.nextFromGroup(), 4);
    EXPECT_EQ(category.findFromGroup("D"), -1);
}

TEST(CatalogGrouping, ADuplicateEntryLeavesTheFirstOneFound) {
    ConversionCatalog catalog;
    Category& category = catalog.addCategory("C");
    category.addFromUnit("A", 4);
    category.addFromUnit("A", 7);
    category.addFromUnit("B", 2);
    EXPECT_EQ(category.findFromGroup("A"), 4);
    EXPECT_EQ(category.findFromGroup("B"), 2);
    EXPECT_EQ(category.fromUnitCount(), 3);
}

TEST(CatalogGrouping, ThousandsOfLabelsEachKeepTheirGroup) {
    // Enough labels for the index to grow many times; each comes back later and finds its group.
    ConversionCatalog catalog;
    Category& category = catalog.addCategory("C");
    const int count = 5000;
    for (int round = 0; round < 2; ++round)
        for (int i = 0; i < count; ++i) {
            const int label = round == 0 ? i : count - 1 - i;
            EXPECT_EQ(
                category.addConversion("n", "L" + std::to_string(label), "t", "x").fromGroup(),
                label);
        }
    EXPECT_EQ(category.nextFromGroup(), count);
    EXPECT_EQ(category.findFromGroup("L5000"), -1);
    for (int id = 0; id < count; ++id)
        catalog.addCategory("C" + std::to_string(id));
    EXPECT_EQ(catalog.findCategory("C"), &category);
    EXPECT_EQ(catalog.findCategory("C4321"), catalog.categoryAt(4322));
}

TEST(CatalogGrouping, EachCategoryNumbersFromZero) {
    ConversionCatalog catalog;
    Category& first = catalog.addCategory("One");
    Category& second = catalog.addCategory("Two");
    first.addConversion("n", "A", "t", "x");
    first.addConversion("n", "B", "t", "x");
    EXPECT_EQ(second.addConversion("n", "B", "t", "x").fromGroup(), 0);
    EXPECT_EQ(second.addConversion("n", "A", "t", "x").fromGroup(), 1);
}

TEST(CatalogLookup, IdsArePositionsAndMissingIdsGiveNone) {
    ConversionCatalog catalog;
    EXPECT_EQ(catalog.categoryCount(), 0);
    EXPECT_EQ(catalog.categoryAt(0), nullptr);

    Category& first = catalog.addCategory("Length");
    Category& second = catalog.addCategory("Mass");
    EXPECT_EQ(first.visible(), 1);
    EXPECT_EQ(first.nextFromGroup(), 0);
    EXPECT_EQ(catalog.categoryAt(0), &first);
    EXPECT_EQ(catalog.categoryAt(1), &second);
    for (int missing : {-1, 2})
        EXPECT_EQ(catalog.categoryAt(missing), nullptr) << missing;

    const Conversion& a = second.addConversion("a", "kg", "g", "x*1000");
    const Conversion& b = second.addConversion("b", "g", "kg", "x/1000");
    EXPECT_EQ(a.id(), 0);
    EXPECT_EQ(b.id(), 1);
    EXPECT_EQ(second.conversionAt(1), &b);
    for (int missing : {-1, 2})
        EXPECT_EQ(second.conversionAt(missing), nullptr) << missing;
}

TEST(CatalogLookup, DuplicateNameAddsASecondCategoryButLookupFindsTheFirst) {
    ConversionCatalog catalog;
    Category& first = catalog.addCategory("Length");
    Category& again = catalog.addCategory("Length");
    EXPECT_EQ(again.id(), 1);
    EXPECT_EQ(catalog.findCategory("Length"), &first);
    EXPECT_EQ(catalog.findCategory("length"), nullptr);
    EXPECT_EQ(catalog.findCategory(""), nullptr);
}

TEST(CatalogLookup, ReferencesStayValidWhileTheCatalogGrows) {
    ConversionCatalog catalog;
    Category& first = catalog.addCategory("First");
    const Conversion& conversion = first.addConversion("n", "A", "B", "x");
    for (int i = 0; i < 1000; ++i) {
        catalog.addCategory("C" + std::to_string(i));
        first.addConversion("n", "L" + std::to_string(i), "B", "x");
    }
    EXPECT_EQ(&first, catalog.categoryAt(0));
    EXPECT_EQ(&conversion, first.conversionAt(0));
    EXPECT_EQ(conversion.fromUnit(), "A");
}

} // namespace
