#pragma once

#include <string>
#include <string_view>

// Number texts that never depend on the process locale: the full stop is always the decimal
// separator, whatever the environment says.

// value in fixed notation with the given number of decimals (a negative count is taken as 0),
// never with an exponent: 1e20 gives all twenty-one digits. Infinities and NaN give "inf",
// "-inf", and "nan" or "-nan" after the sign bit of the NaN.
std::string formatFixed(double value, int decimals);

// The text that stands in for "x" in a formula: six decimals when they read back as value,
// otherwise the shortest fixed text (at least six decimals) that does. A negative value is
// wrapped in parentheses, so that it survives following an operator ("1/(-5.000000)").
// Infinities and NaN give a text that is not a number, which makes the formula fail.
std::string formatInputValue(double value);

// The number at the start of text, read the way atof reads it in the C locale, but without
// hexadecimal, infinity or NaN forms: blanks, a sign, digits with an optional fraction and an
// optional exponent. Nothing that fits gives 0.0; too large a magnitude gives an infinity.
double readLeadingNumber(std::string_view text);

// How many characters of text readLeadingNumber reads, leading blanks included; 0 when it reads
// no number at all.
std::size_t leadingNumberLength(std::string_view text);

// How much of a typed value readLeadingNumber takes: complete when only blanks are left unread,
// and the part read, without its blanks ("" when no number was read).
struct ValueReading {
    bool complete = true;
    std::string_view read;
};
ValueReading valueReading(std::string_view text);

// value as exactly as a reader needs it: up to 15 significant digits without trailing zeros, in
// exponent form only where fixed form would need more than 15 digits or the magnitude is below
// 0.0001 ("3e-09", "9460730472580.8", "1e+16"). Minus zero gives "0".
std::string formatExact(double value);

// True when the whole text is an unsigned number of the formula language: digits with an
// optional fraction ("5", "5.", "5.25") or a fraction alone (".5"), then optionally e or E and
// digits ("1e3"). value is written only then; a magnitude too large becomes an infinity.
bool parseFormulaNumber(std::string_view text, double& value);
