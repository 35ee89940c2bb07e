#include "value/user_number_format.h"

#include <string>
#include <windows.h>

// Windows keeps the user's number format in HKCU\Control Panel\International beside the name of
// the locale it was written for. Wine writes that copy from LANG, and rewrites it whenever a
// program started under another LANG in the same prefix starts (another program, a helper, a
// second window), so a read of it races with every such start. Values written for another locale
// than this process's are no choice of this user's: that locale's own value stands for them then.

namespace {

std::wstring internationalValue(const wchar_t* name) {
    wchar_t value[LOCALE_NAME_MAX_LENGTH] = {};
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, L"Control Panel\\International", name, RRF_RT_REG_SZ,
                     nullptr, value, &size) != ERROR_SUCCESS)
        return {};
    return value;
}

// One setting of the user's number format: the registry's value where its copy is this locale's,
// else the locale's own.
std::wstring userValue(const wchar_t* locale, const wchar_t* name, LCTYPE type) {
    const auto ours = [locale] {
        // A rewrite sets the locale's number first and its name last: the name before the read
        // says the copy was written whole for this locale, the number after it that no rewrite
        // for another began meanwhile.
        return internationalValue(L"LocaleName") == locale &&
               wcstoul(internationalValue(L"Locale").c_str(), nullptr, 16) == GetUserDefaultLCID();
    };
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (!ours()) break;
        std::wstring read = internationalValue(name);
        if (ours()) return read;
    }
    wchar_t own[8] = L"";
    GetLocaleInfoEx(locale, type | LOCALE_NOUSEROVERRIDE, own, 8);
    return own;
}

} // namespace

NumberFormat userNumberFormat() {
    wchar_t locale[LOCALE_NAME_MAX_LENGTH] = {};
    GetUserDefaultLocaleName(locale, LOCALE_NAME_MAX_LENGTH);
    const char point =
        userValue(locale, L"sDecimal", LOCALE_SDECIMAL).starts_with(L',') ? ',' : '.';
    const std::wstring group = userValue(locale, L"sThousand", LOCALE_STHOUSAND);
    const char grouping = (group == L"." || group == L",") && static_cast<char>(group[0]) != point
                              ? static_cast<char>(group[0])
                              : '\0';
    return {point, grouping, group == L"\u00A0" || group == L"\u202F"};
}
