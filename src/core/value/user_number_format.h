#pragma once

#include "value/value_reader.h"

#include <string_view>

// How the user writes numbers, as the command line reads them: the decimal separator of the
// user's locale, and its thousands separator where that is a point or a comma. None (a point and
// no thousands) where the locale names none, as the C locale of scripts: "1,000" is then never
// guessed to be a thousand. user_number_format_posix.cpp and _windows.cpp ask the system.
NumberFormat userNumberFormat();

// The format a POSIX locale name stands for by its language and territory ("de_DE.UTF-8" writes
// 1.000,5; "en_GB" 1,000.5), for a locale the system has no data for; none for "C", "POSIX" or
// a name it cannot place.
NumberFormat numberFormatOfLocaleName(std::string_view locale);
