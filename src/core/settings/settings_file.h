#pragma once

#include "settings/precision_text.h"

#include <optional>
#include <string>
#include <string_view>

class FileOps;

// conv.ini keeps the number of decimals, 1 to 4, as a single digit.

// Reads the first line of the file at path into precision, clamped to 1 to 4. False when the file
// cannot be opened; precision then keeps its value, as it does for a file with no line at all.
bool readSettings(const std::string& path, int& precision);

// Replaces the file at path with the digit of precision, no line break; whole or not at all.
bool writeSettings(const std::string& path, int precision);
bool writeSettings(const std::string& path, int precision, FileOps& ops);

// The converter window's size in pixels, kept in a file of its own beside conv.ini, so that
// conv.ini stays the single digit its readers expect. The file's first line is "WIDTH HEIGHT",
// the size the window is restored to; a second line "maximized" says it was closed maximised.
struct WindowSize {
    int width = 0;
    int height = 0;
    bool maximised = false;
};
inline constexpr const char* windowSizeFileName = "window.ini";

// The size of the file's first line: two positive numbers of at most 100000 separated by blanks;
// none for anything else, a missing file included. Any second line but "maximized" is ignored.
std::optional<WindowSize> readWindowSize(const std::string& path);
std::optional<WindowSize> windowSizeFromLine(std::string_view line);
// Replaces the file with the size and a line end; whole or not at all.
bool writeWindowSize(const std::string& path, WindowSize size);
