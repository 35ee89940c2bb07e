#include "catalog/catalog.h"
#include "formula/evaluate_formula.h"
#include "formula/number_text.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace {

// Sanitizers catch crashes and undefined behaviour; these catch wrong answers that stay quiet.
void check(bool condition) {
    if (!condition) std::abort();
}

} // namespace

// The whole input is a formula for the engine; the first eight bytes are also an input value for
// a conversion whose formula is the rest.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    constexpr double Sentinel = -9876.5;
    double result = Sentinel;
    const int code = evaluateFormula(bytes, result);
    check(code == 0 || code == 1 || code == 3 || code == 4);
    if (code == 1 || code == 3) check(result == Sentinel);

    (void)readLeadingNumber(bytes);

    if (size < sizeof(double)) return 0;
    double value = 0.0;
    std::memcpy(&value, data, sizeof value);
    ConversionCatalog catalog;
    Category& category = catalog.addCategory("C");
    (void)category.addConversion("n", "a", "b", bytes.substr(sizeof value)).evaluate(value);

    // The text put in place of x must carry the value exactly, or make the formula fail.
    const double same = category.addConversion("n", "a", "b", "x").evaluate(value);
    check(std::isfinite(value) ? same == value : same == 0.0);

    (void)formatFixed(value, data[0] % 40);
    return 0;
}
