#pragma once

#include "converter/category_visibility.h"
#include "search/conversion_search.h"

#include <optional>
#include <string>
#include <vector>
#include <windows.h>

class ConversionCatalog;
class UnitNames;

// Each dialog opens its page of helpFile on F1.

// The Options dialog: one checkbox per category. True on OK, with each row's choice in rows.
bool runOptionsDialog(HINSTANCE instance, HWND owner, const std::wstring& helpFile,
                      std::vector<CategoryRow>& rows);

// The Precision dialog: an edit with up and down arrows. True on OK, with the choice in value.
bool runPrecisionDialog(HINSTANCE instance, HWND owner, const std::wstring& helpFile, int& value);

// The About box with its two links.
void runAboutDialog(HINSTANCE instance, HWND owner, const std::wstring& helpFile);

// Find Conversion: the match chosen, and the value typed before the units (may be empty).
struct FoundConversion {
    ConversionMatch match;
    std::string value;
};
std::optional<FoundConversion> runFindDialog(HINSTANCE instance, HWND owner,
                                             const std::wstring& helpFile,
                                             const ConversionCatalog& catalog,
                                             const UnitNames& names);
