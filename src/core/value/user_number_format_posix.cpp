#include "value/user_number_format.h"

#include <cstdlib>
#include <locale>

NumberFormat userNumberFormat() {
    try {
        const std::locale locale("");
        const auto& punctuation = std::use_facet<std::numpunct<char>>(locale);
        const char decimal = punctuation.decimal_point() == ',' ? ',' : '.';
        const char group = punctuation.thousands_sep();
        const bool grouped =
            !punctuation.grouping().empty() && (group == '.' || group == ',') && group != decimal;
        return {decimal, grouped ? group : '\0'};
    } catch (const std::exception&) {
        // A locale named but not installed: its name still says how its people write numbers.
        for (const char* variable : {"LC_ALL", "LC_NUMERIC", "LANG"})
            if (const char* value = std::getenv(variable); value && *value)
                return numberFormatOfLocaleName(value);
        return {'.', '\0'};
    }
}
