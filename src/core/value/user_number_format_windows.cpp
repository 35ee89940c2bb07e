#include "value/user_number_format.h"

#include <windows.h>

NumberFormat userNumberFormat() {
    // The user's own number format in the Windows settings, which the C library knows nothing of.
    wchar_t decimal[8] = L".";
    wchar_t group[8] = L"";
    GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, decimal, 8);
    GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_STHOUSAND, group, 8);
    const char point = decimal[0] == L',' ? ',' : '.';
    const char grouping = (group[0] == L'.' || group[0] == L',') && group[1] == L'\0' &&
                                  static_cast<char>(group[0]) != point
                              ? static_cast<char>(group[0])
                              : '\0';
    return {point, grouping};
}
