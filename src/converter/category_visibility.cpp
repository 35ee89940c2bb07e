#include "converter/category_visibility.h"

#include "catalog/catalog.h"

std::vector<CategoryRow> categoryRows(const ConversionCatalog& catalog) {
    std::vector<CategoryRow> rows;
    for (int id = 0; id < catalog.categoryCount(); ++id)
        if (const Category* category = catalog.categoryAt(id))
            rows.push_back(
                {category->id(), std::string(category->name()), category->visible() != 0});
    return rows;
}

bool applyCategoryRows(ConversionCatalog& catalog, const std::vector<CategoryRow>& rows) {
    bool changed = false;
    for (const CategoryRow& row : rows) {
        Category* category = catalog.categoryAt(row.categoryId);
        if (!category || (category->visible() != 0) == row.selected) continue;
        category->setVisible(row.selected ? 1 : 0);
        changed = true;
    }
    return changed;
}

std::vector<RowRun> selectedRowRuns(const std::vector<CategoryRow>& rows) {
    std::vector<RowRun> runs;
    for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
        if (!rows[static_cast<std::size_t>(row)].selected) continue;
        if (!runs.empty() && runs.back().last == row - 1)
            runs.back().last = row;
        else
            runs.push_back({row, row});
    }
    return runs;
}
