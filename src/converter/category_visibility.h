#pragma once

#include <string>
#include <vector>

class ConversionCatalog;

// One row of the Options list: a category and whether it is shown as a tab.
struct CategoryRow {
    int categoryId = 0;
    std::string name;
    bool selected = false;
};

// One row per category, in id order, selected when the category is visible.
std::vector<CategoryRow> categoryRows(const ConversionCatalog& catalog);

// A run of consecutive selected rows, first to last, both included.
struct RowRun {
    int first = 0;
    int last = 0;
};

// The selected rows as runs in row order, so a list can select them in one step.
std::vector<RowRun> selectedRowRuns(const std::vector<CategoryRow>& rows);

// Writes each row's selection into the visible flag of its category (1 shown, 0 hidden), but
// only where they disagree, so a row toggled and toggled back is no change. Rows naming no
// category are skipped. True when any flag changed.
bool applyCategoryRows(ConversionCatalog& catalog, const std::vector<CategoryRow>& rows);
