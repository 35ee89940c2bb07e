#include "cli/convert_command.h"

#include "catalog/catalog.h"
#include "cli/file_report.h"
#include "files/read_problem.h"
#include "formula/number_text.h"
#include "names/unit_names.h"
#include "query/query_reader.h"
#include "result.h"
#include "settings/user_region.h"
#include "text/text_scan.h"
#include "value/result_text.h"
#include "value/user_number_format.h"

#include <ostream>

// The reading and the conversion are the core's (query/query_reader.h); this prints what it
// gives. Each refusal is the clause that follows "velmora: " on stderr.

namespace {

Status loadCatalog(const ConvertRequest& request, ConversionCatalog& catalog) {
    ReadProblem problem = ReadProblem::None;
    if (catalog.load(request.catalogPath, &problem)) return {};
    return Failure{catalogReadFailure(problem, request.catalogName)};
}

// The category of --category; none when not given.
Result<const Category*> namedCategory(const ConversionCatalog& catalog,
                                      const ConvertRequest& request) {
    if (!request.category) return static_cast<const Category*>(nullptr);
    Result<const Category*> named = categoryNamed(catalog, *request.category, request.catalogName);
    if (!named) return Failure{asClause(named.why())};
    return named;
}

// The names of the names.txt beside the catalog, those of the user's region among them. A file
// there that is refused only costs the names, as units are still found by their labels: err says
// so, and the command goes on.
UnitNames namesBeside(const std::string& catalogPath, std::ostream& err) {
    std::string refusal;
    UnitNames names = readUnitNames(namesPathBeside(catalogPath), &refusal, userRegion());
    if (!refusal.empty()) err << "velmora: " << refusal << "\n";
    return names;
}

std::string joined(const std::vector<std::string>& words) {
    std::string text;
    for (const std::string& word : words)
        text += (text.empty() ? "" : " ") + word;
    return text;
}

// The result and a line end: in the units of a split To side, the last with the decimals of
// precision or in full; else with precision as the window shows it, or in full.
Status printResult(std::ostream& out, double result, const QueryReading& reading,
                   std::optional<int> precision) {
    const UnitPair& pair = reading.pair;
    if (pair.splitSizes.empty()) {
        out << (precision ? resultText(result, *precision) : formatExact(result)) << "\n";
        return {};
    }
    const std::vector<std::string> parts =
        splitTexts(result, pair.splitSizes, precision ? *precision : -1);
    if (parts.empty())
        return Failure{reading.valueText + " " + pair.fromShown + " is too large to split into \"" +
                       joined(pair.splitWords) + "\": past 1e15 " + pair.splitWords.back() +
                       " a number no longer holds the smaller units; ask for " +
                       pair.splitWords.front() + " alone"};
    std::string line;
    for (std::size_t i = 0; i < parts.size(); ++i)
        line += (i ? " " : "") + parts[i] + " " + pair.splitWords[i];
    out << line << "\n";
    return {};
}

// The conversion of request with a reader of the catalog and its names.
Status convertWith(const ConvertRequest& request, const QueryReader& reader, std::ostream& out,
                   std::ostream& err) {
    const Result<QueryReading> reading =
        request.from.empty() && request.to.empty()
            ? reader.conversion(request.value)
            : reader.conversion(request.value, request.from, request.to);
    if (!reading) return Failure{asClause(reading.why())};
    const std::string typed = reading->valueText.empty() ? "1" : reading->valueText;
    // Not the labels typed: a script can see which were used.
    if (reading->byNames) err << "velmora: " << typed << " " << pairText(reading->pair) << "\n";
    const Result<double> result = convertedValue(reading->pair, reading->value, typed);
    if (!result) return Failure{asClause(result.why())};
    return printResult(out, *result, *reading, request.precision);
}

// The same with the catalog and its names, once both are read.
Status convertWith(const ConvertRequest& request, const ConversionCatalog& catalog,
                   const UnitNames& names, std::ostream& out, std::ostream& err) {
    const Result<const Category*> named = namedCategory(catalog, request);
    if (!named) return named.status();
    const QueryReader reader(catalog, names, {true, *named}, userNumberFormat(),
                             request.catalogName);
    return convertWith(request, reader, out, err);
}

int finished(const Status& done, std::ostream& err) {
    if (done) return 0;
    err << "velmora: " << done.why() << "\n";
    return 2;
}

} // namespace

int runConvert(const ConvertRequest& request, std::ostream& out, std::ostream& err) {
    ConversionCatalog catalog;
    if (const Status loaded = loadCatalog(request, catalog); !loaded) return finished(loaded, err);
    const UnitNames names = namesBeside(request.catalogPath, err);
    return finished(convertWith(request, catalog, names, out, err), err);
}

int runConvertWith(const ConvertRequest& request, const QueryReader& reader, std::ostream& out,
                   std::ostream& err) {
    return finished(convertWith(request, reader, out, err), err);
}
