#include "converter/find_text.h"

namespace {

// The text's length as a field counts it: one unit a character, two beyond the first plane.
std::size_t utf16Length(std::string_view utf8) {
    std::size_t units = 0;
    for (const unsigned char byte : utf8) {
        if ((byte & 0xC0) != 0x80) ++units;
        if (byte >= 0xF0) ++units;
    }
    return units;
}

} // namespace

FindResults findConversions(const ConversionSearch& search, std::string_view typed,
                            char decimalSeparator) {
    FindResults found;
    found.result = search.find(parseSearchQuery(typed, decimalSeparator));
    found.countText =
        findCountText(found.result, utf16Length(typed) >= static_cast<std::size_t>(maxQueryLength));
    return found;
}

std::string findCountText(const SearchResult& result, bool queryCut) {
    const int shown = static_cast<int>(result.matches.size());
    std::string text;
    if (result.total == 0)
        text = result.whyNone;
    else if (result.total == 1)
        text = "1 conversion matches.";
    else if (shown == result.total)
        text = std::to_string(result.total) + " conversions match.";
    else
        text = "The first " + std::to_string(shown) + " of " + std::to_string(result.total) +
               " matching conversions; type more to narrow them.";
    // Only the start of a long query counts, and the user is told.
    if (queryCut)
        text += " The field takes " + std::to_string(maxQueryLength) +
                " characters, and only the first " + std::to_string(SearchQuery::maxWords) +
                " words are used.";
    else if (result.truncated)
        text += " Only the first " + std::to_string(SearchQuery::maxWords) + " words are used.";
    return text;
}
