// Arbitrary bytes as a catalog for velmora --check and as a query for Find Conversion: neither may
// crash, the check must count what the loader holds and report each line at most once in line
// order, and every match must hold the query's words and stay within the cap.

#include "catalog/catalog.h"
#include "catalog/display_text.h"
#include "cli/catalog_check.h"
#include "cli/convert_command.h"
#include "commands/conversion_search.h"
#include "fuzz_scratch.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

const Scratch& scratch() {
    static const Scratch instance("check_fuzz");
    return instance;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // The first line is the query; the whole input is the catalog.
    const std::string_view query = bytes.substr(0, bytes.find('\n'));
    const std::string input = scratch().file("conv.txt");
    writeFile(input, bytes);

    const std::optional<CatalogCheck> result = checkCatalog(input);
    check(result.has_value());
    ConversionCatalog catalog;
    check(catalog.load(input));
    int conversions = 0;
    for (int id = 0; id < catalog.categoryCount(); ++id)
        conversions += catalog.categoryAt(id)->conversionCount();
    check(result->categories == catalog.categoryCount());
    check(result->conversions == conversions);
    int previous = 0;
    for (const CatalogProblem& problem : result->problems) {
        check(problem.line > previous && problem.line <= result->lines);
        check(!problem.message.empty());
        previous = problem.line;
    }

    const ConversionSearch search(catalog);
    const SearchResult found = search.find(query, 50);
    check(found.total >= static_cast<int>(found.matches.size()));
    check(found.matches.size() <= 50);
    check(found.total <= search.size());
    const SearchQuery parsed = parseSearchQuery(query);
    for (const ConversionMatch& match : found.matches) {
        check(match.category->visible() != 0);
        check(queryMatches(parsed, searchWords(toDisplayText(match.conversion->fromUnit())),
                           searchWords(toDisplayText(match.conversion->toUnit()))));
    }

    std::vector<std::string> labels;
    for (int id = 0; id < catalog.categoryCount() && labels.size() < 50; ++id)
        labels.push_back(toDisplayText(catalog.categoryAt(id)->name()));
    check(closestLabels(query.substr(0, 64), labels).size() ==
          std::min<std::size_t>(3, labels.size()));
    return 0;
}
