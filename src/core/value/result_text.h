#pragma once

#include <string>
#include <string_view>
#include <vector>

class Category;
class Conversion;

// A result as the window, the report and the command line show it: fixed with decimals places,
// unless those would show a nonzero value as zero, which reads as a wrong answer; then with
// three significant digits ("0.000293", "2.93e-09").
std::string resultText(double value, int decimals);

// Whether a result is a number to show. Beyond the largest number (about 1.8e308) a formula gives
// an infinity, and 0/0 no number; below the smallest normal one (about 2.2e-308) a number keeps
// only some of its digits, and a conversion that keeps 0 at 0 gives 0 for a value that is not 0
// only where the result fell below every number (unless it gives 0 for 1 too, as "x*0" does).
// None of these is shown as a result.
enum class ResultRange { Within, TooLarge, Undefined, TooSmall };
ResultRange resultRange(const Conversion& conversion, double value, double result);

// The sentence for a result out of range ("The result is out of range: …"); empty for Within.
std::string resultRangeNote(ResultRange range);

// The most of the last unit a split result counts: past it a number no longer holds the last
// unit's ones (2^53 is about 9e15), so the smaller parts would be made up.
inline constexpr double maxSplitCount = 1e15;

// value in the first of several units, split into whole numbers of each but the last and the
// rest in the last (5.905 ft in ft and in: 5 and 10.86). sizes holds each unit's size in the
// first unit (1, 1/12), largest first. The whole is counted in the last unit and rounded as a
// result is shown, to 15 significant digits and then to decimals (all of them when negative),
// before it is split, so that a rest that rounds up to a whole larger unit carries ("5 ft 12.0
// in" becomes "6 ft 0.0 in") and each part stays under one of the part above. Only a whole that
// would round to 0 keeps its digits: the last part then shows them ("0 h 0 min 1e-09 s"). A minus
// leads the first part and is the whole's. None when value is no finite number or counts
// maxSplitCount of the last unit or more.
std::vector<std::string> splitTexts(double value, const std::vector<double>& sizes, int decimals);

// "5 ft 10.9 in" beside a result in a unit that people read in two parts (feet, pounds, stones,
// hours, degrees of angle); empty for other units, when the catalog lacks the conversion
// between the two, or when the result cannot be split (splitTexts).
std::string twoPartText(double value, const Category& category, std::string_view unitLabel,
                        int decimals);
