#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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
// significant digits (formatExact), or with precision the fixed form the window shows. 0 when
// printed; 2, with a message on err, when the catalog cannot be read, the category, unit or pair
// is not in it, or the formula cannot be computed. A value with characters that are not read
// gets a note on err and is converted all the same, as the window does.
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

// Up to count of labels (display texts), closest to text first: labels whose words the words
// of text start (as Find Conversion matches them); then near misses, a letter or two off (edit
// distance ignoring letter case, of the whole texts or word by word); then, for a short single
// word, labels it abbreviates ("km"), shortest first; then the rest by edit distance. Ties keep
// the given order.
std::vector<std::string>
closestLabels(std::string_view text, const std::vector<std::string>& labels, std::size_t count = 3);
