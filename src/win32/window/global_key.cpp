#include "win32/window/global_key.h"

std::string GlobalKey::set(HWND window, const std::string& text) {
    if (text.empty()) {
        release();
        return {};
    }
    const std::optional<HotKey> key = readHotKey(text);
    if (!key) return "\"" + text + "\" is not a key this program can use";
    if (id_ && window == window_ && *key == held_) return {};
    const int id = id_ == 1 ? 2 : 1;
    // Held down, the key brings the window forward once.
    if (!RegisterHotKey(window, id, key->modifiers | MOD_NOREPEAT, key->key)) {
        const DWORD error = GetLastError();
        return hotKeyText(*key) +
               (error == ERROR_HOTKEY_ALREADY_REGISTERED
                    ? " is taken by another program"
                    : " could not be registered (error " + std::to_string(error) + ")");
    }
    release();
    window_ = window;
    id_ = id;
    held_ = *key;
    return {};
}

void GlobalKey::release() {
    if (id_) UnregisterHotKey(window_, id_);
    id_ = 0;
}
