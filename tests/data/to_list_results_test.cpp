#include "catalog/catalog.h"
#include "cli/convert_command.h"
#include "converter/converter_model.h"
#include "names/unit_names.h"
#include "query/query_reader.h"
#include "temp_dir.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>

namespace {

// The number --convert prints for the row's pair, at the window's precision, read in the row's
// category alone as --category reads it; the error when it refuses.
std::string commandLineResult(const QueryReader& reader, const std::string& value,
                              const Conversion& row, int precision) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = runConvertWith(
        {value, std::string(row.fromUnit()), std::string(row.toUnit()), std::nullopt, precision},
        reader, out, err);
    std::string printed = status == 0 ? out.str() : "refused: " + err.str();
    if (!printed.empty() && printed.back() == '\n') printed.pop_back();
    return printed;
}

// For every From row of every tab, the To rows a window shows first: each row's result is what
// --convert prints for its pair, in the user's decimal separator.
void expectRowsAgreeWithTheCommandLine(const std::string& catalogText, const std::string& value,
                                       char decimal, std::size_t rowsInView) {
    TempDir dir;
    const std::string catalogPath = dir.file("conv.txt");
    writeBytes(catalogPath, catalogText);
    ConversionCatalog catalog;
    ConverterModel model(catalog);
    model.setNumberFormat(NumberFormat(decimal));
    ASSERT_TRUE(model.start(dir.path()).ok());
    model.setPrecision(3);
    model.onInputChanged(value);
    // The command line's own reading of the same file.
    ConversionCatalog commandLineCatalog;
    ASSERT_TRUE(commandLineCatalog.load(catalogPath));
    const UnitNames noNames;
    std::size_t compared = 0;
    for (int tab = 0; tab < model.tabCount(); ++tab) {
        model.onTabChanged(tab);
        const QueryReader reader(
            commandLineCatalog, noNames,
            {true, commandLineCatalog.findCategory(model.selection().currentCategory->name())},
            NumberFormat());
        for (int from = 0; from < model.fromCount(); ++from) {
            model.onFromChanged(from);
            const int rows = std::min(model.toCount(), static_cast<int>(rowsInView));
            // Read while the first row is the current one, as a window paints them.
            std::vector<std::string> results;
            for (int to = 0; to < rows; ++to)
                results.push_back(model.toResultText(to));
            for (int to = 0; to < rows; ++to) {
                model.onToChanged(to);
                std::string shown = results[static_cast<std::size_t>(to)];
                std::replace(shown.begin(), shown.end(), decimal, '.');
                EXPECT_EQ(shown, commandLineResult(reader, value, *model.currentConversion(), 3))
                    << model.tabText(tab) << ": " << model.fromText(from) << " to "
                    << model.toText(to);
                ++compared;
            }
        }
    }
    EXPECT_GT(compared, 0u);
}

TEST(ToListResults, AgreeWithTheCommandLineForEachShapeOfCatalog) {
    const std::string bytes = readBytes(VELMORA_DATA "/conv.txt");
    expectRowsAgreeWithTheCommandLine(bytes, "12.5", '.', 12);
    expectRowsAgreeWithTheCommandLine(bytes, "-40", ',', 12);
    // One category of ten thousand units, of which a window shows the first few.
    std::string large;
    for (int unit = 1; unit <= 10000; ++unit)
        large += "Large|u" + std::to_string(unit) + "|Base|Unit " + std::to_string(unit) + "|x*" +
                 std::to_string(unit) + ".5\r\n";
    expectRowsAgreeWithTheCommandLine(large, "0.001", '.', 20);
}

} // namespace
