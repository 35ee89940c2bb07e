#include "lists/view_choices.h"

#include "text/text_scan.h"

#include <charconv>
#include <string_view>

namespace {

// A choice by its name in the file: a flag, or a number within its range.
struct Choice {
    std::string_view name;
    bool& (*flag)(ViewChoices&) = nullptr;
    int& (*number)(ViewChoices&) = nullptr;
    int least = 0;
    int most = 0;
};
constexpr Choice choices[] = {
    {"always-on-top", [](ViewChoices& c) -> bool& { return c.alwaysOnTop; }},
    {"resume-last", [](ViewChoices& c) -> bool& { return c.resumeLast; }},
    {"keep-recent", [](ViewChoices& c) -> bool& { return c.keepRecent; }},
    {"all-results", [](ViewChoices& c) -> bool& { return c.allResults; }},
    {"significant", [](ViewChoices& c) -> bool& { return c.numbers.significant; }},
    {"significant-digits", nullptr,
     [](ViewChoices& c) -> int& { return c.numbers.significantDigits; }, minSignificantDigits,
     maxSignificantDigits},
    {"scientific", [](ViewChoices& c) -> bool& { return c.numbers.scientific; }},
    {"scientific-below", nullptr, [](ViewChoices& c) -> int& { return c.numbers.scientificBelow; },
     minScientificExponent, maxScientificExponent},
    {"scientific-from", nullptr, [](ViewChoices& c) -> int& { return c.numbers.scientificFrom; },
     minScientificExponent, maxScientificExponent},
    {"group-digits", [](ViewChoices& c) -> bool& { return c.numbers.groupDigits; }},
};

constexpr std::string_view globalKeyName = "global-key";

// The choice's value as its line writes it.
std::string valueText(const Choice& choice, ViewChoices& from) {
    return choice.flag ? (choice.flag(from) ? "1" : "0") : std::to_string(choice.number(from));
}

} // namespace

ViewChoices readViewChoices(const std::string& path) {
    ViewChoices read;
    for (const std::string& line : readListLines(path)) {
        const std::string_view text = trimmed(line);
        const std::size_t equals = text.find('=');
        if (equals == std::string_view::npos) continue;
        const std::string_view name = trimmed(text.substr(0, equals));
        const std::string_view value = trimmed(text.substr(equals + 1));
        if (name == globalKeyName) read.globalKey = value;
        for (const Choice& choice : choices) {
            if (name != choice.name) continue;
            int number = 0;
            const auto [end, error] =
                std::from_chars(value.data(), value.data() + value.size(), number);
            if (error != std::errc() || end != value.data() + value.size()) continue;
            if (choice.flag && (number == 0 || number == 1)) choice.flag(read) = number == 1;
            if (choice.number && number >= choice.least && number <= choice.most)
                choice.number(read) = number;
        }
    }
    read.numbers = withinRanges(read.numbers);
    return read;
}

ListEdits viewChoiceEdits(const ViewChoices& before, const ViewChoices& after) {
    ListEdits edits;
    ViewChoices old = before;
    ViewChoices now = after;
    const auto change = [&](std::string_view name, const std::string& was, const std::string& is) {
        if (was == is) return;
        // Whatever another instance wrote for the name gives way to this one's, added last.
        edits.removed.push_back(std::string(name) + "=" + was);
        edits.added.push_back(std::string(name) + "=" + is);
    };
    for (const Choice& choice : choices)
        change(choice.name, valueText(choice, old), valueText(choice, now));
    change(globalKeyName, before.globalKey, after.globalKey);
    return edits;
}
