#include "value/user_number_format.h"

#include <clocale>
#include <cstdlib>
#include <langinfo.h>
#include <locale.h>
#include <string_view>

NumberFormat userNumberFormat() {
    // The user's numeric locale, read apart from the process's own (which stays "C").
    if (const locale_t locale = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr))) {
        const std::string_view point = nl_langinfo_l(RADIXCHAR, locale);
        const std::string_view group = nl_langinfo_l(THOUSEP, locale);
        const char decimal = point == "," ? ',' : '.';
        const bool space = group == "\xC2\xA0" || group == "\xE2\x80\xAF";
        const char grouping =
            (group == "." || group == ",") && group[0] != decimal ? group[0] : '\0';
        freelocale(locale);
        return {decimal, grouping, space};
    }
    // A locale named but not installed: its name still says how its people write numbers.
    for (const char* variable : {"LC_ALL", "LC_NUMERIC", "LANG"})
        if (const char* value = std::getenv(variable); value && *value)
            return numberFormatOfLocaleName(value);
    return {'.', '\0'};
}
