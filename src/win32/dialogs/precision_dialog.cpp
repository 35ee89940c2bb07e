#include "win32/dialogs/precision_dialog.h"

#include "converter/window_texts.h"
#include "settings/precision_text.h"
#include "win32/common/wide_text.h"
#include "win32/common/window_text.h"
#include "win32/dialogs/modal_dialog.h"
#include "win32/resources/resource_ids.h"

#include <commctrl.h>
#include <optional>

namespace {

class PrecisionDialog : public ModalDialog {
  public:
    PrecisionDialog(const std::wstring& helpFile, int value)
        : ModalDialog(IDD_PRECISION, helpFile, helpPage::precision), value_(value) {}

    // The last value the edit held that the range accepts.
    int value() const { return value_; }

  private:
    INT_PTR initialise() override {
        const std::wstring range = L"Number of &decimals (" + std::to_wstring(minPrecision) +
                                   L" to " + std::to_wstring(maxPrecision) + L"):";
        SetDlgItemTextW(window(), IDC_PRECISION_RANGE, range.c_str());
        SendDlgItemMessageW(window(), IDC_PRECISION_SPIN, UDM_SETRANGE32, minPrecision,
                            maxPrecision);
        SendDlgItemMessageW(window(), IDC_PRECISION_SPIN, UDM_SETPOS32, 0, value_);
        accepted_ = std::to_wstring(value_);
        HWND edit = item(IDC_PRECISION_EDIT);
        SetWindowTextW(edit, accepted_.c_str());
        SetFocus(edit);
        SendMessageW(edit, EM_SETSEL, 0, -1);
        return FALSE;
    }

    INT_PTR handle(UINT message, WPARAM wParam, LPARAM) override {
        if (message != WM_COMMAND || LOWORD(wParam) != IDC_PRECISION_EDIT ||
            HIWORD(wParam) != EN_CHANGE)
            return FALSE;
        if (restoring_) return TRUE;
        HWND edit = item(IDC_PRECISION_EDIT);
        const std::wstring text = windowText(edit);
        if (const std::optional<int> number = acceptedPrecision(utf8FromWide(text))) {
            value_ = *number;
            accepted_ = text;
        } else {
            // Back to the last accepted text, which the value already stands for.
            restoring_ = true;
            SetWindowTextW(edit, accepted_.c_str());
            SendMessageW(edit, EM_SETSEL, 0, -1);
            restoring_ = false;
        }
        return TRUE;
    }

    int value_;
    std::wstring accepted_;
    bool restoring_ = false;
};

} // namespace

bool runPrecisionDialog(HINSTANCE instance, HWND owner, const std::wstring& helpFile, int& value) {
    PrecisionDialog dialog(helpFile, value);
    if (!dialog.run(instance, owner)) return false;
    value = dialog.value();
    return true;
}
