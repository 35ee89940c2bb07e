#pragma once

// The help's sources as compiled into help.chm, for tests that compare what a reader gives with
// what was written. VELMORA_HELP_SOURCES names the folder.

#include "help/help_contents.h"
#include "temp_dir.h"

#include <string>
#include <string_view>
#include <vector>

inline std::string helpSource(const std::string& name) {
    return readBytes(std::string(VELMORA_HELP_SOURCES) + "/" + name);
}

inline const char* const helpPages[] = {"index.html",      "window.html",   "menus.html",
                                        "catalog.html",    "formulas.html", "files.html",
                                        "commandline.html"};

inline std::string repeated(std::string_view text, int count) {
    std::string out;
    for (int i = 0; i < count; ++i)
        out += text;
    return out;
}

// "name>local" for each entry, children indented by two blanks per level.
inline void describeContents(const std::vector<ContentsEntry>& entries,
                             std::vector<std::string>& out, const std::string& indent = {}) {
    for (const ContentsEntry& entry : entries) {
        out.push_back(indent + entry.name + ">" + entry.local);
        describeContents(entry.children, out, indent + "  ");
    }
}

inline std::vector<std::string> describeContents(std::string_view sitemap) {
    std::vector<std::string> out;
    describeContents(parseContents(sitemap), out);
    return out;
}
