// Arbitrary bytes as a catalog for velmora --check, as a names file, and as a query for Find
// Conversion and --convert: none may crash, the check must count what the loader holds and report
// each line at most once in line order, the matches must come best first within the cap, a query
// without a match must say why, and a query read must name units of one category and convert to
// a number or say why not.

#include "catalog/catalog.h"
#include "cli/catalog_check.h"
#include "fuzz_scratch.h"
#include "names/unit_names.h"
#include "query/query_reader.h"
#include "query/suggestion_query.h"
#include "search/closest_labels.h"
#include "search/conversion_search.h"
#include "text/display_text.h"

#include <algorithm>
#include <cmath>
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
    for (const LineProblem& problem : result->problems) {
        check(problem.line > previous && problem.line <= result->lines);
        check(!problem.message.empty());
        previous = problem.line;
    }

    // The same bytes as names.txt: problems in line order, within the file.
    const NamesFile names = parseNamesFile(bytes);
    previous = 0;
    for (const NamesProblem& problem : names.problems) {
        check(problem.line >= previous && problem.line >= 1 && problem.line <= names.lines);
        previous = problem.line;
    }

    const ConversionSearch search(catalog, names.names);
    const SearchResult found = search.find(parseSearchQuery(query), 50);
    check(found.total >= static_cast<int>(found.matches.size()));
    check(found.matches.size() <= 50);
    check(found.total <= search.size());
    check(found.total > 0 || !found.whyNone.empty());
    for (std::size_t i = 0; i < found.matches.size(); ++i) {
        check(found.matches[i].category->visible() != 0);
        check(found.matches[i].rank != MatchRank::None);
        check(i == 0 || found.matches[i - 1].rank <= found.matches[i].rank);
    }

    // The reader over the same catalog and names.
    const QueryReader reader(catalog, names.names, {}, {});
    const QueryReader::Readings readings = reader.everyReading(query);
    check(!readings.readings.empty() || !readings.whyNone.empty());
    for (const QueryReading& reading : readings.readings)
        check(reading.pair.category && std::isfinite(reading.value));
    if (const Result<QueryReading> one = reader.conversion(query)) {
        const Result<double> result = convertedValue(one->pair, one->value, one->valueText);
        check(result.ok() ? std::isfinite(*result) : !result.why().empty());
    } else {
        check(!one.why().empty());
    }

    std::vector<std::string> labels;
    for (int id = 0; id < catalog.categoryCount() && labels.size() < 50; ++id)
        labels.push_back(toDisplayText(catalog.categoryAt(id)->name()));
    check(closestLabels(query.substr(0, 64), labels).size() ==
          std::min<std::size_t>(3, labels.size()));
    return 0;
}
