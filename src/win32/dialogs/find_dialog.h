#pragma once

#include "converter/find_text.h"
#include "search/conversion_search.h"
#include "value/value_reader.h"

#include <optional>
#include <string>
#include <vector>
#include <windows.h>

class ConversionCatalog;
class UnitNames;

// Find Conversion: the match chosen, and the value typed before the units (may be empty).
struct FoundConversion {
    ConversionMatch match;
    std::string value;
};

// The Find Conversion dialog over the catalog and names, F1 its page of helpFile. A value typed
// first is read as format says, as the input field reads it; namesNote, the sentences
// that says why names.txt was not read (empty when it was), shows under the count; keptRows, the
// favourite and recent conversions, are offered while nothing is typed. Nothing when the dialog
// was closed without a choice.
std::optional<FoundConversion> runFindDialog(HINSTANCE instance, HWND owner,
                                             const std::wstring& helpFile,
                                             const ConversionCatalog& catalog,
                                             const UnitNames& names, const std::string& namesNote,
                                             NumberFormat format, std::vector<FindRow> keptRows);
