#include "catalog/catalog.h"
#include "converter/category_visibility.h"

#include <gtest/gtest.h>
#include <string_view>

namespace {

// Three categories, the middle one hidden.
void fillCatalog(ConversionCatalog& catalog) {
    catalog.parseLine("Length|a|m|ft|x");
    catalog.parseLine("Mass|b|kg|lb|x|0");
    catalog.parseLine("Time|c|s|min|x");
}

TEST(CategoryVisibility, RowsFollowIdOrderAndVisibility) {
    ConversionCatalog catalog;
    fillCatalog(catalog);
    catalog.categoryAt(2)->setVisible(7); // any non-zero flag is shown
    const std::vector<CategoryRow> rows = categoryRows(catalog);
    ASSERT_EQ(rows.size(), 3u);
    const struct {
        int id;
        std::string_view name;
        bool selected;
    } expected[] = {{0, "Length", true}, {1, "Mass", false}, {2, "Time", true}};
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].categoryId, expected[i].id);
        EXPECT_EQ(rows[i].name, expected[i].name);
        EXPECT_EQ(rows[i].selected, expected[i].selected);
    }
    EXPECT_TRUE(categoryRows(ConversionCatalog()).empty());
}

TEST(CategoryVisibility, SelectedRowsComeAsRunsInRowOrder) {
    const struct {
        const char* what;
        std::vector<bool> selected;
        std::vector<std::pair<int, int>> runs;
    } cases[] = {
        {"none", {}, {}},
        {"all", {true, true, true}, {{0, 2}}},
        {"alternating", {true, false, true, false, true}, {{0, 0}, {2, 2}, {4, 4}}},
        {"runs at both ends", {true, true, false, false, true, true}, {{0, 1}, {4, 5}}},
        {"nothing selected", {false, false}, {}},
    };
    for (const auto& c : cases) {
        std::vector<CategoryRow> rows;
        for (bool selected : c.selected)
            rows.push_back({static_cast<int>(rows.size()), {}, selected});
        std::vector<std::pair<int, int>> runs;
        for (const RowRun& run : selectedRowRuns(rows))
            runs.emplace_back(run.first, run.last);
        EXPECT_EQ(runs, c.runs) << c.what;
    }
}

TEST(CategoryVisibility, OnlyDisagreeingRowsAreWrittenBack) {
    const struct {
        const char* name;
        std::vector<bool> selected; // rows 0, 1, 2
        bool changed;
        int flags[3];
    } cases[] = {
        {"same as the flags", {true, false, true}, false, {1, 0, 5}},
        {"hide one", {false, false, true}, true, {0, 0, 5}},
        {"show the hidden", {true, true, true}, true, {1, 1, 5}},
        {"hide all", {false, false, false}, true, {0, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ConversionCatalog catalog;
        fillCatalog(catalog);
        // A shown flag other than 1 stays as it is while its row stays selected.
        catalog.categoryAt(2)->setVisible(5);
        std::vector<CategoryRow> rows;
        for (int id = 0; id < 3; ++id)
            rows.push_back({id, {}, c.selected[id]});
        EXPECT_EQ(applyCategoryRows(catalog, rows), c.changed);
        for (int id = 0; id < 3; ++id)
            EXPECT_EQ(catalog.categoryAt(id)->visible(), c.flags[id]);
    }
}

TEST(CategoryVisibility, RowsFollowTheirIdsNotTheirPositions) {
    ConversionCatalog catalog;
    fillCatalog(catalog);
    // Rows in another order, one naming no category at all.
    EXPECT_TRUE(applyCategoryRows(catalog, {{2, {}, false}, {9, {}, true}, {1, {}, true}}));
    EXPECT_EQ(catalog.categoryAt(0)->visible(), 1);
    EXPECT_EQ(catalog.categoryAt(1)->visible(), 1);
    EXPECT_EQ(catalog.categoryAt(2)->visible(), 0);
    EXPECT_FALSE(applyCategoryRows(catalog, {}));
}

} // namespace
