#include "win32/dialogs/modal_dialog.h"

#include "win32/common/system_calls.h"
#include "win32/common/wide_text.h"

#include <utility>

ModalDialog::ModalDialog(int templateId, std::wstring helpFile, std::string_view helpPage)
    : templateId_(templateId), helpFile_(std::move(helpFile)), helpPage_(wideFromUtf8(helpPage)) {}

bool ModalDialog::run(HINSTANCE instance, HWND owner) {
    return DialogBoxParamW(instance, MAKEINTRESOURCEW(templateId_), owner, procedure,
                           reinterpret_cast<LPARAM>(this)) == IDOK;
}

INT_PTR CALLBACK ModalDialog::procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    // The object comes with WM_INITDIALOG; the few messages before it go to the dialog manager.
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        auto* self = reinterpret_cast<ModalDialog*>(lParam);
        self->dialog_ = dialog;
        return self->initialise();
    }
    auto* self = reinterpret_cast<ModalDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
    return self ? self->route(message, wParam, lParam) : FALSE;
}

INT_PTR ModalDialog::route(UINT message, WPARAM wParam, LPARAM lParam) {
    if (const INT_PTR answer = handle(message, wParam, lParam)) return answer;
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            finishWithOk();
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog_, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    case WM_HELP:
        openHelpFile(helpFile_, helpPage_.c_str());
        return TRUE;
    default:
        return FALSE;
    }
}

INT_PTR ModalDialog::handle(UINT, WPARAM, LPARAM) {
    return FALSE;
}

void ModalDialog::finishWithOk() {
    if (takeChoices()) EndDialog(dialog_, IDOK);
}
