#pragma once

#include <string>
#include <string_view>

// The two-line report of the current conversion, or "no current conversion" when there is none,
// or when the input or the result is empty. The texts go in exactly as they stand.
class Conversion;

// The bytes a saved report holds: the catalog's own code page, so that a report of a
// Windows-1252 catalog reads as that catalog does; UTF-8 otherwise.
std::string reportFileBytes(std::string_view report, const Conversion* conversion);

std::string buildReportText(bool haveConversion, std::string_view inputText,
                            std::string_view inputUnit, std::string_view resultText,
                            std::string_view outputUnit);
