#pragma once

#include <string>
#include <string_view>

// Text for a terminal with nothing in it that a terminal acts on. Catalog labels and formulas, and
// the arguments themselves, may hold control characters; written raw, an escape sequence could
// retitle the terminal or clear the screen, and a direction override or an invisible character
// could turn the rest of a message around or make one label look like another. So C0 controls but
// the line end, DEL and bytes that are not UTF-8 are shown as \x1b; C1 controls, format
// characters (U+202E, U+200B, U+FEFF, the soft hyphen, ...) and the line and paragraph
// separators as \u202e (\U000e0041 beyond U+FFFF); everything else stays.
std::string terminalText(std::string_view text);
