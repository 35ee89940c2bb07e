// Evaluates every conversion of a catalog file through the program's own loader and engine, so
// that a script can compare the results with an independent reference.
//
//     catalog_eval <catalog file> <value>...
//
// Prints one line per conversion, tab separated: category id, conversion id, category name,
// source unit, target unit, formula, then the result for each value in the shortest text that
// reads back as the same double.

#include "catalog/catalog.h"

#include <charconv>
#include <cstdio>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace {

bool parseValue(std::string_view text, double& value) {
    const char* end = text.data() + text.size();
    const auto [rest, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && rest == end;
}

void appendDouble(std::string& line, double value) {
    char buffer[64];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    if (error != std::errc()) {
        line += "error";
        return;
    }
    line.append(buffer, end);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <catalog file> <value>...\n", argv[0]);
        return 2;
    }
    std::vector<double> values;
    for (int i = 2; i < argc; ++i) {
        double value = 0.0;
        if (!parseValue(argv[i], value)) {
            std::fprintf(stderr, "%s: not a number: %s\n", argv[0], argv[i]);
            return 2;
        }
        values.push_back(value);
    }

    ConversionCatalog catalog;
    if (!catalog.load(argv[1])) {
        std::fprintf(stderr, "%s: cannot open %s\n", argv[0], argv[1]);
        return 1;
    }

    std::string line;
    for (int categoryId = 0; categoryId < catalog.categoryCount(); ++categoryId) {
        const Category* category = catalog.categoryAt(categoryId);
        if (!category) {
            std::fprintf(stderr, "%s: no category with id %d\n", argv[0], categoryId);
            return 1;
        }
        for (int conversionId = 0; conversionId < category->conversionCount(); ++conversionId) {
            const Conversion* conversion = category->conversionAt(conversionId);
            if (!conversion) {
                std::fprintf(stderr, "%s: category %d has no conversion with id %d\n", argv[0],
                             categoryId, conversionId);
                return 1;
            }
            line = std::to_string(categoryId) + '\t' + std::to_string(conversionId) + '\t';
            for (const std::string_view text : {category->name(), conversion->fromUnit(),
                                                conversion->toUnit(), conversion->formula()})
                line.append(text) += '\t';
            line.pop_back();
            for (const double value : values) {
                line += '\t';
                appendDouble(line, conversion->evaluate(value));
            }
            line += '\n';
            std::fputs(line.c_str(), stdout);
        }
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}
