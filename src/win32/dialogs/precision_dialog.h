#pragma once

#include <string>
#include <windows.h>

// The Precision dialog: an edit with up and down arrows, F1 its page of helpFile. True on OK,
// with the choice in value.
bool runPrecisionDialog(HINSTANCE instance, HWND owner, const std::wstring& helpFile, int& value);
