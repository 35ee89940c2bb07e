#include "lists/view_choices.h"

#include "text/text_scan.h"

#include <string_view>

namespace {

struct Choice {
    std::string_view name;
    bool ViewChoices::*flag;
};
constexpr Choice choices[] = {
    {"always-on-top", &ViewChoices::alwaysOnTop},
    {"resume-last", &ViewChoices::resumeLast},
    {"keep-recent", &ViewChoices::keepRecent},
    {"all-results", &ViewChoices::allResults},
};

constexpr std::string_view globalKeyName = "global-key=";

std::string choiceLine(std::string_view name, bool on) {
    return std::string(name) + (on ? "=1" : "=0");
}

} // namespace

ViewChoices readViewChoices(const std::string& path) {
    ViewChoices read;
    for (const std::string& line : readListLines(path)) {
        const std::string_view text = trimmed(line);
        if (text.starts_with(globalKeyName))
            read.globalKey = trimmed(text.substr(globalKeyName.size()));
        for (const Choice& choice : choices)
            for (const bool on : {false, true})
                if (text == choiceLine(choice.name, on)) read.*choice.flag = on;
    }
    return read;
}

ListEdits viewChoiceEdits(const ViewChoices& before, const ViewChoices& after) {
    ListEdits edits;
    for (const Choice& choice : choices) {
        if (before.*choice.flag == after.*choice.flag) continue;
        edits.removed.push_back(choiceLine(choice.name, false));
        edits.removed.push_back(choiceLine(choice.name, true));
        edits.added.push_back(choiceLine(choice.name, after.*choice.flag));
    }
    if (before.globalKey != after.globalKey) {
        edits.removed.push_back(std::string(globalKeyName) + before.globalKey);
        edits.added.push_back(std::string(globalKeyName) + after.globalKey);
    }
    return edits;
}
