#include "win32/dialogs/options_dialog.h"

#include "converter/window_texts.h"
#include "win32/common/wide_text.h"
#include "win32/dialogs/modal_dialog.h"
#include "win32/resources/resource_ids.h"

#include <commctrl.h>

namespace {

class OptionsDialog : public ModalDialog {
  public:
    OptionsDialog(const std::wstring& helpFile, std::vector<CategoryRow>& rows)
        : ModalDialog(IDD_OPTIONS, helpFile, helpPage::options), rows_(rows) {}

  private:
    INT_PTR initialise() override {
        HWND list = item(IDC_CATEGORY_LIST);
        ListView_SetExtendedListViewStyle(list, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
        RECT client;
        GetClientRect(list, &client);
        LVCOLUMNW column{};
        column.mask = LVCF_WIDTH;
        column.cx = client.right - client.left - GetSystemMetrics(SM_CXVSCROLL);
        ListView_InsertColumn(list, 0, &column);
        int index = 0;
        for (const CategoryRow& row : rows_) {
            const std::wstring name = wideFromUtf8(row.name);
            LVITEMW entry{};
            entry.mask = LVIF_TEXT;
            entry.iItem = index;
            entry.pszText = const_cast<wchar_t*>(name.c_str());
            ListView_InsertItem(list, &entry);
            ListView_SetCheckState(list, index, row.selected);
            ++index;
        }
        if (index > 0)
            ListView_SetItemState(list, 0, LVIS_FOCUSED | LVIS_SELECTED,
                                  LVIS_FOCUSED | LVIS_SELECTED);
        SetFocus(list);
        return FALSE;
    }

    bool takeChoices() override {
        HWND list = item(IDC_CATEGORY_LIST);
        for (std::size_t i = 0; i < rows_.size(); ++i)
            rows_[i].selected = ListView_GetCheckState(list, static_cast<int>(i)) != 0;
        return true;
    }

    std::vector<CategoryRow>& rows_;
};

} // namespace

bool runOptionsDialog(HINSTANCE instance, HWND owner, const std::wstring& helpFile,
                      std::vector<CategoryRow>& rows) {
    OptionsDialog dialog(helpFile, rows);
    return dialog.run(instance, owner);
}
