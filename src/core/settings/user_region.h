#pragma once

#include <string>
#include <string_view>

// The user's region, which says what a name means where its meaning differs by country (a
// gallon is the US one in the US, the imperial one in Great Britain): an ISO 3166 code in
// capitals ("US", "GB"), or empty where none is known. On Linux the territory of the locale that
// decides measurements (LC_ALL, else LC_MEASUREMENT, else LANG: "en_GB.UTF-8" gives GB); on
// Windows the country of the user's locale. user_region_posix.cpp and user_region_windows.cpp
// ask the system.
std::string userRegion();

// The territory of a POSIX locale name, language_TERRITORY.codeset@modifier: "en_GB.UTF-8" gives
// GB; "C", "POSIX" and a name without a territory give none.
std::string regionOfLocale(std::string_view locale);

// The region the locale variables give, the first set of them deciding as the C library's
// precedence has it.
std::string regionOfLocaleVariables(const char* lcAll, const char* lcMeasurement, const char* lang);
