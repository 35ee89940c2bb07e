#pragma once

#include <string_view>

// Texts both windows show that belong to no state of the model.

// The help page each dialog opens on F1.
namespace helpPage {
inline constexpr std::string_view find = "menus.html#find";
inline constexpr std::string_view options = "menus.html#options";
inline constexpr std::string_view precision = "menus.html#precision";
inline constexpr std::string_view about = "menus.html#about";
inline constexpr std::string_view globalKey = "menus.html#global-key";
} // namespace helpPage

// File > Save: the suffix a name typed without one is given, and the types of file offered.
inline constexpr std::string_view reportFileSuffix = "cnv";
struct FileFilter {
    std::string_view name;
    std::string_view pattern;
};
inline constexpr FileFilter reportFileFilters[] = {
    {"TextFiles (*.txt)", "*.txt"},
    {"All Files (*.*)", "*.*"},
};
