#include "win32/dialogs/about_dialog.h"

#include "converter/window_texts.h"
#include "product.h"
#include "win32/common/scaled_bitmap.h"
#include "win32/common/system_calls.h"
#include "win32/dialogs/modal_dialog.h"
#include "win32/resources/resource_ids.h"

#include <commctrl.h>

namespace {

class AboutDialog : public ModalDialog {
  public:
    explicit AboutDialog(HINSTANCE instance, const std::wstring& helpFile)
        : ModalDialog(IDD_ABOUT, helpFile, helpPage::about), instance_(instance) {}

  private:
    INT_PTR initialise() override {
        // The picture for the dialog's DPI, on the dialog's own colour.
        picture_ =
            loadScaledBitmap(instance_, IDB_PICTURE, 0, static_cast<int>(GetDpiForWindow(window())),
                             GetSysColor(COLOR_BTNFACE));
        SendDlgItemMessageW(window(), IDC_ABOUT_PICTURE, STM_SETIMAGE, IMAGE_BITMAP,
                            reinterpret_cast<LPARAM>(picture_.bitmap.get()));
        // The links show the addresses they open.
        SetDlgItemTextW(window(), IDC_VENDOR_LINK, L"<a>" VELMORA_VENDOR_SITE "</a>");
        SetDlgItemTextW(window(), IDC_SECOND_LINK, L"<a>" VELMORA_SECOND_SITE "</a>");
        return TRUE;
    }

    INT_PTR handle(UINT message, WPARAM, LPARAM lParam) override {
        if (message != WM_NOTIFY) return FALSE;
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->code != NM_CLICK && header->code != NM_RETURN) return FALSE;
        if (header->idFrom == IDC_VENDOR_LINK) openWithShell(L"" VELMORA_VENDOR_SITE);
        if (header->idFrom == IDC_SECOND_LINK) openWithShell(L"" VELMORA_SECOND_SITE);
        return TRUE;
    }

    HINSTANCE instance_;
    // Shown by the picture control until the dialog ends.
    ScaledBitmap picture_;
};

} // namespace

void runAboutDialog(HINSTANCE instance, HWND owner, const std::wstring& helpFile) {
    AboutDialog dialog(instance, helpFile);
    dialog.run(instance, owner);
}
