#pragma once

#include <string>
#include <string_view>

// Letter case folded away from a UTF-8 text, for comparisons that ignore it: A to Z, and the
// capital letters of Latin-1, Latin Extended-A, Greek and Cyrillic, become their small letters.
// Everything else, invalid bytes included, stays as it is, so the result has the same length in
// characters and a text without capitals comes back unchanged.
std::string foldCase(std::string_view utf8);
// The same appended to out.
void appendFolded(std::string& out, std::string_view utf8);

// True when a and b are the same once their letter case is folded away.
bool equalIgnoringCase(std::string_view a, std::string_view b);

// A to Z alone, for names that formats define in ASCII (HTML tags, file names, help paths) and
// for the first letter of a sentence the program wrote itself.
inline char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
bool equalIgnoringAsciiCase(std::string_view a, std::string_view b);
