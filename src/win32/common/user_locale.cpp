#include "win32/common/user_locale.h"

#include <string>
#include <windows.h>

namespace {

std::wstring internationalValue(const wchar_t* name) {
    wchar_t value[LOCALE_NAME_MAX_LENGTH] = {};
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, L"Control Panel\\International", name, RRF_RT_REG_SZ,
                     nullptr, value, &size) != ERROR_SUCCESS)
        return {};
    return value;
}

} // namespace

char userDecimalSeparator() {
    wchar_t locale[LOCALE_NAME_MAX_LENGTH] = {};
    GetUserDefaultLocaleName(locale, LOCALE_NAME_MAX_LENGTH);
    const auto ours = [&locale] {
        // A rewrite sets the locale's number first and its name last: the name before the read
        // says the copy was written whole for this locale, the number after it that no rewrite
        // for another began meanwhile.
        return internationalValue(L"LocaleName") == locale &&
               wcstoul(internationalValue(L"Locale").c_str(), nullptr, 16) == GetUserDefaultLCID();
    };
    std::wstring separator;
    for (int attempt = 0; attempt < 3 && separator.empty(); ++attempt) {
        if (!ours()) break;
        std::wstring read = internationalValue(L"sDecimal");
        if (ours()) separator = std::move(read);
    }
    if (separator.empty()) {
        wchar_t own[8] = L".";
        GetLocaleInfoEx(locale, LOCALE_SDECIMAL | LOCALE_NOUSEROVERRIDE, own, 8);
        separator = own;
    }
    return separator.starts_with(L',') ? ',' : '.';
}
