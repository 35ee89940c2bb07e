#include "settings/user_region.h"

#include <cctype>

std::string regionOfLocale(std::string_view locale) {
    locale = locale.substr(0, locale.find_first_of(".@"));
    const std::size_t underscore = locale.find('_');
    if (underscore == std::string_view::npos) return {};
    std::string region(locale.substr(underscore + 1));
    // Two letters or three digits (419, Latin America); anything else is no territory.
    const bool letters = region.size() == 2 &&
                         std::isalpha(static_cast<unsigned char>(region[0])) &&
                         std::isalpha(static_cast<unsigned char>(region[1]));
    const bool digits =
        region.size() == 3 && region.find_first_not_of("0123456789") == std::string::npos;
    if (!letters && !digits) return {};
    for (char& c : region)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return region;
}

std::string regionOfLocaleVariables(const char* lcAll, const char* lcMeasurement,
                                    const char* lang) {
    for (const char* value : {lcAll, lcMeasurement, lang})
        if (value && *value) return regionOfLocale(value);
    return {};
}
