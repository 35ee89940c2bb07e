#pragma once

#include <string>
#include <string_view>

// The arrow between two units, in queries and in the lines that show a conversion.
inline constexpr std::string_view unitArrow = "\xE2\x86\x92"; // →, U+2192

// Catalog texts are bytes. Shown to the user they are UTF-8: bytes that already form valid UTF-8
// stay as they are, anything else is read as Windows-1252, the code page older catalogs use.
std::string toDisplayText(std::string_view bytes);

bool isValidUtf8(std::string_view bytes);

// The code point in UTF-8 onto out; a surrogate or a value past U+10FFFF becomes U+FFFD.
void appendUtf8(std::string& out, char32_t code);

// Display text back as Windows-1252 bytes, for texts that came from such a catalog; a character
// that code page lacks becomes "?".
std::string fromDisplayText(std::string_view utf8);
