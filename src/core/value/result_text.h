#pragma once

#include <string>
#include <string_view>
#include <vector>

class Category;

// A result as the window, the report and the command line show it: fixed with decimals places,
// unless those would show a nonzero value as zero, which reads as a wrong answer; then with
// three significant digits ("0.000293", "2.93e-09").
std::string resultText(double value, int decimals);

// value in the first of several units, split into whole numbers of each but the last and the
// rest in the last (5.905 ft in ft and in: 5 and 10.86). sizes holds each unit's size in the
// first unit (1, 1/12), largest first. The rest is rounded to decimals (all its digits when
// negative) before it is split, so that a rest that rounds up to a whole larger unit carries
// ("5 ft 12.0 in" becomes "6 ft 0.0 in").
std::vector<std::string> splitTexts(double value, const std::vector<double>& sizes, int decimals);

// "5 ft 10.9 in" beside a result in a unit that people read in two parts (feet, pounds, stones,
// hours, degrees of angle); empty for other units or when the catalog lacks the conversion
// between the two.
std::string twoPartText(double value, const Category& category, std::string_view unitLabel,
                        int decimals);
