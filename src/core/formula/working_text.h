#pragma once

#include <string>
#include <string_view>

// The formula with formatInputValue(value) in place of every lower-case "x", which is the text
// the engine computes for a conversion. An upper-case "X" stays and makes the formula fail.
std::string makeWorkingText(std::string_view formula, double value);
