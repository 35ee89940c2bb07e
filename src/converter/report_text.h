#pragma once

#include <string>
#include <string_view>
#include <vector>

// The two-line report of the current conversion, or "no current conversion" when there is none,
// or when the input or the result is empty. The texts go in exactly as they stand.
class Conversion;

// The bytes a saved report holds: the catalog's own code page, so that a report of a
// Windows-1252 catalog reads as that catalog does; UTF-8 otherwise.
std::string reportFileBytes(std::string_view report, const Conversion* conversion);

std::string buildReportText(bool haveConversion, std::string_view inputText,
                            std::string_view inputUnit, std::string_view resultText,
                            std::string_view outputUnit);

// The printed report, in the printer's device units: each line at reportPrintLeft, the first at
// reportPrintTop and each next one line height below; a line ends before the character that
// precedes its line feed, the carriage return, which never reaches the printer.
inline constexpr int reportPrintLeft = 500;
inline constexpr int reportPrintTop = 400;
std::vector<std::string> reportPrintLines(std::string_view report);
