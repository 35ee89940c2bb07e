#pragma once

#include "catalog/catalog.h"
#include "names/unit_names.h"
#include "query/query_reader.h"

#include <gtest/gtest.h>
#include <optional>
#include <string_view>

// The delivered catalog and names: the units people write are those of the real categories.
class DeliveredCatalog : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(catalog.load(VELMORA_DATA "/conv.txt"));
        names = readUnitNames(VELMORA_DATA "/names.txt");
        reader.emplace(catalog, names, VocabularyScope{}, NumberFormat('.'));
    }
    const Category& category(const char* name) { return *catalog.findCategory(name); }
    // A value field's text in unit of category, as the window reads it.
    Result<AmountRead> amount(std::string_view text, const char* categoryName,
                              std::string_view unit) {
        return reader->amount(text, category(categoryName), unit);
    }
    ConversionCatalog catalog;
    UnitNames names;
    std::optional<QueryReader> reader;
};
