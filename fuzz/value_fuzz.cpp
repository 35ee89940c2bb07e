#include "catalog/catalog.h"
#include "names/unit_names.h"
#include "query/query_grammar.h"
#include "query/query_reader.h"
#include "query/suggestion_query.h"
#include "value/result_text.h"
#include "value/value_reader.h"

#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

// Sanitizers catch crashes and undefined behaviour; these catch wrong answers that stay quiet.
void check(bool condition) {
    if (!condition) std::abort();
}

// A value is read wholly or refused with a reason, and never reads as an infinity, a NaN or a
// number short of its digits.
void checkValue(std::string_view text, NumberFormat format) {
    const Result<double> read = readValue(text, format);
    check(read.ok() == read.why().empty());
    if (read.ok())
        check(std::isfinite(read.value()) &&
              (read.value() == 0 || std::fabs(read.value()) >= DBL_MIN));
    for (const int decimals : {0, 1, 4})
        if (read.ok() && read.value() != 0)
            check(resultText(read.value(), decimals).find_first_of("123456789") !=
                  std::string::npos);
}

// A query parts into pieces of itself; a split shows no infinity, NaN or digits without bound,
// and no zero for a whole that is not.
void checkShapes(std::string_view text, NumberFormat format) {
    const std::string normalized = normalizedQuery(text, format);
    const Result<std::vector<QueryShape>> shapes = queryShapes(normalized);
    check(shapes.ok() == shapes.why().empty());
    if (shapes.ok())
        for (const QueryShape& shape : *shapes)
            check(normalized.find(shape.to) != std::string::npos && shape.to.size() <= text.size());
}
void checkSplit(double value, int decimals) {
    std::string all;
    for (const std::string& part : splitTexts(value, {1.0, 1.0 / 12}, decimals)) {
        check(part.size() <= 24 && part.find_first_of("ainIAN") == std::string::npos);
        all += part;
    }
    check(all.empty() || value == 0 || all.find_first_of("123456789") != std::string::npos);
}

} // namespace

// The whole input is a value or a query as typed into the input field, Find or the command line,
// read with either decimal separator and with no thousands separator, alone and in a small
// category of feet and inches.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    static ConversionCatalog catalog;
    static const Category* length = [] {
        Category& category = catalog.addCategory("Length");
        category.addConversion("a", "Feet", "Meters", "x*0.3048");
        category.addConversion("b", "Inches", "Meters", "x*0.0254");
        category.addConversion("c", "Inches", "Feet", "x/12");
        category.addConversion("d", "Feet", "Inches", "x*12");
        return &category;
    }();
    static const UnitNames names = [] {
        UnitNames made;
        made.add("Feet", "ft");
        made.add("Inches", "in");
        return made;
    }();
    for (const NumberFormat format :
         {NumberFormat('.'), NumberFormat(','), NumberFormat('.', 0), NumberFormat(',', 0, true)}) {
        checkShapes(text, format);
        checkValue(text, format);
        const Result<QuantityRead> quantity = readQuantity(text, format);
        if (quantity.ok()) check(quantity->end <= text.size() && !quantity->parts.empty());
        const QueryReader reader(catalog, names, {}, format);
        const Result<AmountRead> value = reader.amount(text, *length, "Feet");
        check(value.ok() == value.why().empty());
        if (value.ok()) {
            check(std::isfinite(value->value));
            for (const int decimals : {-1, 0, 2})
                checkSplit(value->value, decimals);
            (void)twoPartText(value->value, *length, "Feet", 1);
        }
        // A query that reads converts to a finite number or says why not.
        if (const Result<QueryReading> reading = reader.conversion(text)) {
            check(reading->pair.category == length);
            const Result<double> result =
                convertedValue(reading->pair, reading->value, reading->valueText);
            check(result.ok() ? std::isfinite(*result) : !result.why().empty());
        } else {
            check(!reading.why().empty());
        }
        const SearchQuery query = parseSearchQuery(text, format);
        check(query.value.empty() || query.valueProblem.empty());
    }
    return 0;
}
