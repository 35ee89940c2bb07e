#include "catalog/catalog.h"
#include "search/quantity_value.h"
#include "search/search_query.h"
#include "search/unit_names.h"
#include "value/result_text.h"
#include "value/value_reader.h"

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

// A value is read wholly or refused with a reason, and never reads as an infinity or NaN.
void checkValue(std::string_view text, char separator) {
    const Result<double> read = readValue(text, separator);
    check(read.ok() == read.why().empty());
    if (read.ok()) check(std::isfinite(read.value()));
    for (const int decimals : {0, 1, 4})
        if (read.ok() && read.value() != 0)
            check(resultText(read.value(), decimals).find_first_of("123456789") !=
                  std::string::npos);
}

} // namespace

// The whole input is a value as typed into the input field, Find or the command line, read with
// either decimal separator, alone and in a small category of feet, inches and degrees.
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
    for (const char separator : {'.', ','}) {
        checkValue(text, separator);
        const Result<QuantityRead> quantity = readQuantity(text, separator);
        if (quantity.ok()) check(quantity->end <= text.size() && !quantity->parts.empty());
        const Result<QuantityValue> value = readValueIn(text, separator, *length, "Feet", names);
        check(value.ok() == value.why().empty());
        if (value.ok()) {
            check(std::isfinite(value->value));
            (void)splitTexts(value->value, {1.0, 1.0 / 12}, 2);
            (void)twoPartText(value->value, *length, "Feet", 1);
        }
        (void)parseSearchQuery(text, separator);
    }
    return 0;
}
