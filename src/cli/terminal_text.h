#pragma once

#include <string>
#include <string_view>

// Text for a terminal with nothing in it that a terminal acts on. Catalog labels and formulas, and
// the arguments themselves, may hold control characters; written raw, an escape sequence could
// retitle the terminal or clear the screen. So C0 controls but the line end, DEL and bytes that
// are not UTF-8 are shown as \x1b, and C1 controls as \u009b; everything else stays.
std::string terminalText(std::string_view text);
