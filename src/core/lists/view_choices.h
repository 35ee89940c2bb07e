#pragma once

#include "lists/list_file.h"
#include "value/number_style.h"

#include <string>
#include <string_view>

// The window's own choices, kept in view.ini beside conv.ini so that conv.ini stays the single
// digit its readers expect: one "name=value" line each, 0 or 1 for a flag. A line of another name
// or form, or a number out of its range, is kept and not read; of two lines of one name, the last
// counts.
struct ViewChoices {
    bool alwaysOnTop = false;
    // The category, pair and value in use at closing come back at the next start.
    bool resumeLast = true;
    // Conversions made are kept in the list of recent conversions.
    bool keepRecent = true;
    // Each row of the To list shows its unit's result beside its name.
    bool allResults = true;
    // The key that brings the window forward with Find open from any program, as its menu names
    // it ("Ctrl+Alt+F8"); empty for none. Windows alone has one: a desktop of Linux binds its own
    // key to velmora --find.
    std::string globalKey = defaultGlobalKey;
    static constexpr const char* defaultGlobalKey = "Ctrl+Alt+F8";
    // How results are written beyond their decimals, which conv.ini keeps.
    NumberStyle numbers = {};

    bool operator==(const ViewChoices&) const = default;
};
inline constexpr const char* viewChoicesFileName = "view.ini";

// The choices the file holds; the defaults for a missing or unreadable file and for each name it
// lacks.
ViewChoices readViewChoices(const std::string& path);
// The edits that make a file that held before hold after: only the choices that changed, so that
// another instance's other changes stay.
ListEdits viewChoiceEdits(const ViewChoices& before, const ViewChoices& after);
