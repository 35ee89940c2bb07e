#pragma once

#include <string_view>

// Where the console program's text goes: stdout or stderr.
enum class ConsoleStream { Out, Error };

// Writes UTF-8 text to the console program's stdout or stderr. A console gets it as UTF-16
// (WriteConsoleW), so every character shows whatever the console's code page; a file or pipe gets
// the UTF-8 bytes as they are. False when it could not be written whole.
bool writeConsoleText(ConsoleStream stream, std::string_view text);
