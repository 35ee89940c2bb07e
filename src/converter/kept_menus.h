#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class ConverterModel;

// The View, Favourites and Recent menus as both windows show them, built afresh each time one
// opens: the favourite and recent conversions change while the window is open.

struct KeptMenuItem {
    enum class Action {
        None,
        AlwaysOnTop,
        ResumeLast,
        KeepRecent,
        AllResults,
        ToggleFavourite,
        OpenFavourite,
        OpenRecent,
        ClearRecent,
    };
    // With its mnemonic ("&1 Length: Feet → Meters"); ampersands of the names doubled. Empty for
    // a separator.
    std::string text;
    // The key shown beside it ("Ctrl+1"), which the window binds whether the menu is open or not.
    std::string shortcut;
    Action action = Action::None;
    // Into the model's favouriteRows() or recentRows().
    int index = -1;
    // An on/off choice, with checked its state.
    bool checkable = false;
    bool checked = false;
    bool enabled = true;
};

// The favourites that Ctrl+1 to Ctrl+9 open.
inline constexpr int numberedFavourites = 9;

std::vector<KeptMenuItem> viewMenuItems(const ConverterModel& model);
std::vector<KeptMenuItem> favouritesMenuItems(const ConverterModel& model);
std::vector<KeptMenuItem> recentMenuItems(const ConverterModel& model);

// The item a key runs ("Ctrl+D", "Ctrl+1"), as its menu shows it; none where the key runs nothing
// now (no fifth favourite), so that the windows bind the keys whether a menu was opened or not.
std::optional<KeptMenuItem> keptMenuItemFor(const ConverterModel& model, std::string_view shortcut);

// Runs the item's action on the model; true when the window must show the model anew (a
// conversion was opened), false when only a choice or a list changed.
bool runKeptMenuItem(ConverterModel& model, const KeptMenuItem& item);
