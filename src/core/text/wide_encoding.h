#pragma once

#include <string_view>

// "UTF-16" or "UTF-32" when the start of a text file is plainly in that encoding: a byte order
// mark, or a zero byte beside most characters, which UTF-8 text never has. Empty otherwise. Every
// file the program reads is UTF-8, and a file saved as "Unicode" by an editor on Windows reads as
// no line at all: this names the cause.
std::string_view wideEncodingOf(std::string_view start);
