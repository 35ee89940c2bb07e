#pragma once

#include <string>
#include <string_view>

// The two-line report of the current conversion, or "no current conversion" when there is none,
// or when the input or the result is empty. The texts go in exactly as they stand.
std::string buildReportText(bool haveConversion, std::string_view inputText,
                            std::string_view inputUnit, std::string_view resultText,
                            std::string_view outputUnit);
