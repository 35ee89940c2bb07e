#include "win32/common/hot_key_text.h"

#include "text/case_fold.h"
#include "text/text_scan.h"

namespace {

struct Modifier {
    std::string_view name;
    UINT flag;
};
constexpr Modifier modifiers[] = {
    {"Ctrl", MOD_CONTROL}, {"Alt", MOD_ALT}, {"Shift", MOD_SHIFT}, {"Win", MOD_WIN}};
constexpr UINT typingSafe = MOD_CONTROL | MOD_ALT | MOD_WIN;

std::string keyName(UINT key) {
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'))
        return std::string(1, static_cast<char>(key));
    if (key >= VK_F1 && key <= VK_F24) return "F" + std::to_string(key - VK_F1 + 1);
    return {};
}

// The virtual key of a name; 0 for none.
UINT keyOf(std::string_view name) {
    if (name.size() == 1) {
        const char c = static_cast<char>(name[0] & ~0x20);
        if (c >= 'A' && c <= 'Z') return static_cast<UINT>(c);
        if (name[0] >= '0' && name[0] <= '9') return static_cast<UINT>(name[0]);
        return 0;
    }
    if (name.size() > 3 || asciiLower(name[0]) != 'f') return 0;
    UINT number = 0;
    for (const char c : name.substr(1)) {
        if (c < '0' || c > '9') return 0;
        number = number * 10 + static_cast<UINT>(c - '0');
    }
    // "F08" is not how anyone names F8.
    return name[1] != '0' && number >= 1 && number <= 24 ? VK_F1 + number - 1 : 0;
}

} // namespace

std::optional<HotKey> readHotKey(std::string_view text) {
    HotKey read;
    while (true) {
        const std::size_t plus = text.find('+');
        const std::string_view part = trimmed(text.substr(0, plus));
        if (plus == std::string_view::npos) {
            read.key = keyOf(part);
            break;
        }
        text.remove_prefix(plus + 1);
        const Modifier* modifier = nullptr;
        for (const Modifier& known : modifiers)
            if (equalIgnoringAsciiCase(part, known.name)) modifier = &known;
        if (!modifier || (read.modifiers & modifier->flag)) return std::nullopt;
        read.modifiers |= modifier->flag;
    }
    if (read.key == 0 || !(read.modifiers & typingSafe)) return std::nullopt;
    return read;
}

std::string hotKeyText(const HotKey& key) {
    const std::string name = keyName(key.key);
    if (name.empty() || !(key.modifiers & typingSafe)) return {};
    std::string text;
    for (const Modifier& modifier : modifiers)
        if (key.modifiers & modifier.flag) text += std::string(modifier.name) + "+";
    return text + name;
}
