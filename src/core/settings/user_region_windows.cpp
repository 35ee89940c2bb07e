#include "settings/user_region.h"

#include <windows.h>

std::string userRegion() {
    // The two-letter country of the user's locale, as Windows' region settings give it.
    wchar_t country[16] = {};
    const int length = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SISO3166CTRYNAME, country,
                                       static_cast<int>(sizeof country / sizeof country[0]));
    if (length <= 1) return {};
    std::string region;
    for (int i = 0; i + 1 < length; ++i)
        region += country[i] < 0x80 ? static_cast<char>(country[i]) : '?';
    return regionOfLocale("_" + region);
}
