#include "value/user_number_format.h"

#include <algorithm>
#include <string>

NumberFormat numberFormatOfLocaleName(std::string_view locale) {
    locale = locale.substr(0, locale.find_first_of(".@"));
    const std::string_view language = locale.substr(0, locale.find('_'));
    const std::string_view territory =
        locale.find('_') == std::string_view::npos ? "" : locale.substr(locale.find('_') + 1);
    if (language.size() < 2 || language.size() > 3 || language == "C") return {'.', '\0'};
    // The languages whose countries write decimals with a comma, those of them that group
    // thousands with a space, and the territories of some of them that write a point
    // (Switzerland groups with an apostrophe, which is no grouping here).
    static constexpr std::string_view commaLanguages[] = {
        "af", "az", "be", "bg", "bs", "ca", "cs", "da", "de", "el", "es", "et",
        "eu", "fi", "fo", "fr", "gl", "hr", "hu", "hy", "id", "is", "it", "ka",
        "kk", "ky", "lt", "lv", "mk", "mn", "nb", "nl", "nn", "no", "pl", "pt",
        "ro", "ru", "sk", "sl", "sq", "sr", "sv", "tr", "uk", "uz", "vi"};
    static constexpr std::string_view spaceLanguages[] = {
        "af", "be", "bg", "cs", "et", "fi", "fr", "hu", "hy", "ka", "kk", "ky",
        "lt", "lv", "nb", "nn", "no", "pl", "ru", "sk", "sq", "sv", "uk", "uz"};
    if (territory == "CH" || territory == "LI") return {'.', '\0'};
    const bool comma = std::find(std::begin(commaLanguages), std::end(commaLanguages), language) !=
                       std::end(commaLanguages);
    if (comma && territory != "MX" && territory != "US" && territory != "PR")
        return {',', '.',
                std::find(std::begin(spaceLanguages), std::end(spaceLanguages), language) !=
                    std::end(spaceLanguages)};
    return {'.', ','};
}
