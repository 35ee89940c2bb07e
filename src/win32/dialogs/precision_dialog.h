#pragma once

#include "value/number_style.h"

#include <string>
#include <windows.h>

// The Precision dialog: the decimals in an edit with up and down arrows and, under them, the
// style beyond decimals (significant digits instead, scientific notation beyond a range, the
// region's grouping of digits); F1 its page of helpFile. True on OK, with the choices in value
// and style.
bool runPrecisionDialog(HINSTANCE instance, HWND owner, const std::wstring& helpFile, int& value,
                        NumberStyle& style);
