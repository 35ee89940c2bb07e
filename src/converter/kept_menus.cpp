#include "converter/kept_menus.h"

#include "converter/converter_model.h"

#include <utility>

namespace {

using Action = KeptMenuItem::Action;

// A name in a menu: its ampersands shown, not taken for mnemonics.
std::string menuText(const std::string& text) {
    std::string shown;
    for (const char c : text) {
        if (c == '&') shown += '&';
        shown += c;
    }
    return shown;
}

KeptMenuItem item(std::string text, Action action, int index = -1, bool checked = false,
                  bool enabled = true, std::string shortcut = {}) {
    KeptMenuItem made;
    made.text = std::move(text);
    made.shortcut = std::move(shortcut);
    made.action = action;
    made.index = index;
    made.checked = checked;
    made.enabled = enabled;
    return made;
}

KeptMenuItem toggle(std::string text, Action action, bool checked, bool enabled = true,
                    std::string shortcut = {}) {
    KeptMenuItem made = item(std::move(text), action, -1, checked, enabled, std::move(shortcut));
    made.checkable = true;
    return made;
}

KeptMenuItem separator() {
    return item({}, Action::None);
}

KeptMenuItem note(const std::string& text) {
    return item(menuText(text), Action::None, -1, false, false);
}

} // namespace

std::vector<KeptMenuItem> viewMenuItems(const ConverterModel& model) {
    const ViewChoices& choices = model.viewChoices();
    return {
        toggle("Always on &Top", Action::AlwaysOnTop, choices.alwaysOnTop),
        toggle("&Start Where I Left Off", Action::ResumeLast, choices.resumeLast),
        toggle("Keep &Recent Conversions", Action::KeepRecent, choices.keepRecent),
        toggle("Show &All Results", Action::AllResults, choices.allResults),
    };
}

std::vector<KeptMenuItem> favouritesMenuItems(const ConverterModel& model) {
    std::vector<KeptMenuItem> items;
    items.push_back(toggle("&Mark as Favourite", Action::ToggleFavourite, model.isFavourite(),
                           model.currentConversion() != nullptr, "Ctrl+D"));
    items.push_back(separator());
    const std::vector<ConverterModel::SavedRow> rows = model.favouriteRows();
    if (rows.empty()) items.push_back(note("No favourites yet: Ctrl+D marks the conversion shown"));
    for (int index = 0; index < static_cast<int>(rows.size()); ++index) {
        const bool numbered = index < numberedFavourites;
        const std::string number = numbered ? std::to_string(index + 1) : std::string();
        items.push_back(item((numbered ? "&" + number + " " : std::string()) +
                                 menuText(rows[static_cast<std::size_t>(index)].text),
                             Action::OpenFavourite, index, false, true,
                             numbered ? "Ctrl+" + number : std::string()));
    }
    return items;
}

std::vector<KeptMenuItem> recentMenuItems(const ConverterModel& model) {
    std::vector<KeptMenuItem> items;
    const std::vector<ConverterModel::SavedRow> rows = model.recentRows();
    if (!model.viewChoices().keepRecent)
        items.push_back(note("Recent conversions are not kept (View menu)"));
    else if (rows.empty())
        items.push_back(note("No recent conversions yet"));
    for (int index = 0; index < static_cast<int>(rows.size()); ++index)
        items.push_back(
            item(menuText(rows[static_cast<std::size_t>(index)].text), Action::OpenRecent, index));
    items.push_back(separator());
    items.push_back(
        item("&Clear Recent Conversions", Action::ClearRecent, -1, false, !rows.empty()));
    // Lines of the files that could not be used, so that nobody wonders where an entry went.
    if (!model.savedNotes().empty()) items.push_back(separator());
    for (const std::string& text : model.savedNotes())
        items.push_back(note(text));
    return items;
}

std::optional<KeptMenuItem> keptMenuItemFor(const ConverterModel& model,
                                            std::string_view shortcut) {
    for (const KeptMenuItem& item : favouritesMenuItems(model))
        if (item.shortcut == shortcut && item.enabled) return item;
    return std::nullopt;
}

bool runKeptMenuItem(ConverterModel& model, const KeptMenuItem& item) {
    // The View menu's choices, each turned on or off by its item.
    constexpr std::pair<Action, bool ViewChoices::*> flags[] = {
        {Action::AlwaysOnTop, &ViewChoices::alwaysOnTop},
        {Action::ResumeLast, &ViewChoices::resumeLast},
        {Action::KeepRecent, &ViewChoices::keepRecent},
        {Action::AllResults, &ViewChoices::allResults},
    };
    for (const auto& [action, flag] : flags)
        if (item.action == action) {
            ViewChoices choices = model.viewChoices();
            choices.*flag = !(choices.*flag);
            model.setViewChoices(choices);
            return false;
        }
    switch (item.action) {
    case Action::ToggleFavourite:
        model.toggleFavourite();
        return false;
    case Action::OpenFavourite:
    case Action::OpenRecent: {
        const auto rows =
            item.action == Action::OpenFavourite ? model.favouriteRows() : model.recentRows();
        if (item.index < 0 || item.index >= static_cast<int>(rows.size())) return false;
        model.showSaved(rows[static_cast<std::size_t>(item.index)]);
        return true;
    }
    case Action::ClearRecent:
        model.clearRecent();
        return false;
    default:
        return false;
    }
}
