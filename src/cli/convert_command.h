#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

class ConversionCatalog;
class Conversion;
class Category;

// velmora --convert VALUE FROM TO [--category NAME] [--catalog FILE] [--precision N]
struct ConvertRequest {
    std::string value;
    std::string from;
    std::string to;
    std::optional<std::string> category;
    std::optional<int> precision;
    // The catalog as the user named it, for messages, and the path it is read from.
    std::string catalogName = "conv.txt";
    std::string catalogPath = "conv.txt";
};

// Reads the catalog, finds the conversion and prints its result and a line end to out: up to 15
// significant digits (formatExact), or with precision the fixed form the window shows. The units
// are the labels as written, then ignoring letter case; failing that, what the conversion search
// finds first for FROM to TO (search/conversion_search.h) with the names of names.txt beside the
// catalog, and err then says which labels were used. 0 when printed; 2, with a message on err,
// when the value is not a number as a whole or too large, the catalog cannot be read, the
// category, unit or pair is not in it, or the formula cannot be computed or gives no finite result.
int runConvert(const ConvertRequest& request, std::ostream& out, std::ostream& err);

// The conversion from "from" to "to": byte for byte in the first category in file order that
// has the pair (only in category when given), else, the same way, ignoring letter case.
struct FoundConversion {
    const Category* category = nullptr;
    const Conversion* conversion = nullptr;
};
FoundConversion findConversion(const ConversionCatalog& catalog, std::string_view from,
                               std::string_view to, const Category* category = nullptr);

// The category named name, byte for byte or else ignoring letter case; nullptr for none.
const Category* findCategoryByName(const ConversionCatalog& catalog, std::string_view name);
