#include "win32/dialogs/global_key_dialog.h"

#include "converter/window_texts.h"
#include "lists/view_choices.h"
#include "win32/common/hot_key_text.h"
#include "win32/common/wide_text.h"
#include "win32/dialogs/modal_dialog.h"
#include "win32/resources/resource_ids.h"

#include <commctrl.h>

namespace {

// The key control's value (HOTKEYF_ flags above the virtual key), which has no Win key.
WORD controlValue(const HotKey& key) {
    const UINT flags = (key.modifiers & MOD_CONTROL ? HOTKEYF_CONTROL : 0) |
                       (key.modifiers & MOD_ALT ? HOTKEYF_ALT : 0) |
                       (key.modifiers & MOD_SHIFT ? HOTKEYF_SHIFT : 0);
    return MAKEWORD(key.key, flags);
}

HotKey keyOfControl(WORD value) {
    const UINT flags = HIBYTE(value);
    return {(flags & HOTKEYF_CONTROL ? MOD_CONTROL : 0u) | (flags & HOTKEYF_ALT ? MOD_ALT : 0u) |
                (flags & HOTKEYF_SHIFT ? MOD_SHIFT : 0u),
            flags & HOTKEYF_EXT ? 0u : LOBYTE(value)};
}

class GlobalKeyDialog : public ModalDialog {
  public:
    GlobalKeyDialog(const std::wstring& helpFile, const std::string& text, const std::string& note,
                    const GlobalKeyTry& tryKey)
        : ModalDialog(IDD_GLOBAL_KEY, helpFile, helpPage::globalKey), text(text), note_(note),
          tryKey_(tryKey) {}

    std::string text;

  private:
    INT_PTR initialise() override {
        HWND control = item(IDC_GLOBAL_KEY);
        // A key alone or with Shift alone is given Ctrl+Alt: it would be taken from every
        // program's typing.
        SendMessageW(control, HKM_SETRULES, HKCOMB_NONE | HKCOMB_S,
                     MAKELPARAM(HOTKEYF_CONTROL | HOTKEYF_ALT, 0));
        const std::optional<HotKey> key =
            readHotKey(text.empty() ? ViewChoices::defaultGlobalKey : text);
        if (key && !text.empty()) readable_ = text;
        shown_ = key ? controlValue(*key) : 0;
        SendMessageW(control, HKM_SETHOTKEY, shown_, 0);
        CheckDlgButton(window(), IDC_NO_GLOBAL_KEY, text.empty() ? BST_CHECKED : BST_UNCHECKED);
        EnableWindow(control, !text.empty());
        showNote(note_.empty() ? std::string() : note_ + "; choose another.");
        SetFocus(text.empty() ? item(IDC_NO_GLOBAL_KEY) : control);
        return FALSE;
    }

    INT_PTR handle(UINT message, WPARAM wParam, LPARAM) override {
        if (message != WM_COMMAND || LOWORD(wParam) != IDC_NO_GLOBAL_KEY ||
            HIWORD(wParam) != BN_CLICKED)
            return FALSE;
        EnableWindow(item(IDC_GLOBAL_KEY), !noKey());
        return TRUE;
    }

    bool takeChoices() override {
        std::string chosen;
        if (!noKey()) {
            const auto value = static_cast<WORD>(
                SendDlgItemMessageW(window(), IDC_GLOBAL_KEY, HKM_GETHOTKEY, 0, 0));
            // Left as it was, the key keeps what the control cannot show (Win).
            chosen =
                value == shown_ && !readable_.empty() ? readable_ : hotKeyText(keyOfControl(value));
            if (chosen.empty()) {
                showNote(LOBYTE(value) ? "That key cannot be a global key: choose a letter, a "
                                         "digit or F1 to F24 with Ctrl or Alt."
                                       : "Press the keys to use, or check No global key.");
                return false;
            }
        }
        if (const std::string why = tryKey_(chosen); !why.empty()) {
            showNote(why + "; choose another.");
            return false;
        }
        text = chosen;
        return true;
    }

    bool noKey() const { return IsDlgButtonChecked(window(), IDC_NO_GLOBAL_KEY) == BST_CHECKED; }

    void showNote(const std::string& note) {
        SetDlgItemTextW(window(), IDC_GLOBAL_KEY_NOTE, wideFromUtf8(note).c_str());
    }

    std::string note_;
    const GlobalKeyTry& tryKey_;
    // The key as the control was given it, and the choices' text of it when it could be read.
    WORD shown_ = 0;
    std::string readable_;
};

} // namespace

bool runGlobalKeyDialog(HINSTANCE instance, HWND owner, const std::wstring& helpFile,
                        std::string& text, const std::string& note, const GlobalKeyTry& tryKey) {
    GlobalKeyDialog dialog(helpFile, text, note, tryKey);
    if (!dialog.run(instance, owner)) return false;
    text = dialog.text;
    return true;
}
