#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <windows.h>

// A key combination as the View menu and view.ini name it ("Ctrl+Alt+F8") and as RegisterHotKey
// takes it.
struct HotKey {
    // MOD_CONTROL, MOD_ALT, MOD_SHIFT and MOD_WIN.
    UINT modifiers = 0;
    // The virtual key: 'A' to 'Z', '0' to '9', VK_F1 to VK_F24.
    UINT key = 0;

    bool operator==(const HotKey&) const = default;
};

// The key that text names: modifiers in any order, then the key, joined by "+" in any letter
// case, blanks around each part allowed. Nothing for text that names another key, gives a part
// twice, or has none of Ctrl, Alt and Win: a key alone or with Shift would be taken from every
// program's typing.
std::optional<HotKey> readHotKey(std::string_view text);

// The key's text, modifiers in the order Ctrl, Alt, Shift, Win; empty for a key readHotKey would
// not read.
std::string hotKeyText(const HotKey& key);
