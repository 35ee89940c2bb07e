#pragma once

#include "converter/category_visibility.h"

#include <string>
#include <vector>
#include <windows.h>

// The Options dialog: one checkbox per category, F1 its page of helpFile. True on OK, with each
// row's choice in rows.
bool runOptionsDialog(HINSTANCE instance, HWND owner, const std::wstring& helpFile,
                      std::vector<CategoryRow>& rows);
