#include "win32/dialogs/find_dialog.h"

#include "converter/find_text.h"
#include "converter/window_texts.h"
#include "win32/common/glyph_fonts.h"
#include "win32/common/wide_text.h"
#include "win32/common/window_text.h"
#include "win32/dialogs/modal_dialog.h"
#include "win32/resources/resource_ids.h"

#include <commctrl.h>

namespace {

class FindDialog : public ModalDialog {
  public:
    FindDialog(const std::wstring& helpFile, const ConversionCatalog& catalog,
               const UnitNames& names, const std::string& namesNote, NumberFormat format,
               std::vector<FindRow> keptRows)
        : ModalDialog(IDD_FIND, helpFile, helpPage::find), finder_(catalog, names, format),
          namesNote_(namesNote) {
        finder_.setKeptRows(std::move(keptRows));
    }

    // The match chosen with OK or a double click.
    std::optional<FoundConversion> chosen;

  private:
    INT_PTR initialise() override {
        HWND query = item(IDC_FIND_QUERY);
        SendMessageW(query, EM_SETLIMITTEXT, maxFindLength, 0);
        SendMessageW(query, EM_SETCUEBANNER, TRUE,
                     reinterpret_cast<LPARAM>(L"for example: 5 mi to km"));
        SetWindowSubclass(query, queryProc, 0, reinterpret_cast<DWORD_PTR>(this));
        // The matches' arrow in a font that has it, or spelled with what every font has.
        arrowShown_ = useFontWithGlyphs(item(IDC_FIND_LIST), arrow, listFont_);
        if (namesNote_.empty())
            dropNamesNote();
        else
            SetDlgItemTextW(window(), IDC_FIND_NAMES_NOTE, wideFromUtf8(namesNote_).c_str());
        refill();
        SetFocus(query);
        return FALSE;
    }

    INT_PTR handle(UINT message, WPARAM wParam, LPARAM) override {
        if (message != WM_COMMAND) return FALSE;
        if (LOWORD(wParam) == IDC_FIND_QUERY && HIWORD(wParam) == EN_CHANGE) {
            refill();
            return TRUE;
        }
        if (LOWORD(wParam) == IDC_FIND_LIST && HIWORD(wParam) == LBN_DBLCLK) {
            finishWithOk();
            return TRUE;
        }
        if (LOWORD(wParam) == IDC_FIND_LIST && HIWORD(wParam) == LBN_SELCHANGE) {
            enableOk();
            return TRUE;
        }
        return FALSE;
    }

    bool takeChoices() override {
        const int row =
            static_cast<int>(SendDlgItemMessageW(window(), IDC_FIND_LIST, LB_GETCURSEL, 0, 0));
        // Nothing to choose: the dialog stays open for another query.
        if (row < 0 || row >= static_cast<int>(found_.rows.size())) return false;
        const FindRow& chosenRow = found_.rows[static_cast<std::size_t>(row)];
        chosen = FoundConversion{chosenRow.match, chosenRow.value};
        return true;
    }

    void refill() {
        HWND list = item(IDC_FIND_LIST);
        const std::string typed = utf8FromWide(windowText(item(IDC_FIND_QUERY)));
        found_ = finder_.find(typed, utf16Length(typed) >= static_cast<std::size_t>(maxFindLength));
        SendMessageW(list, WM_SETREDRAW, FALSE, 0);
        SendMessageW(list, LB_RESETCONTENT, 0, 0);
        for (const FindRow& row : found_.rows) {
            std::wstring text = wideFromUtf8(findRowText(row));
            for (std::size_t at; !arrowShown_ && (at = text.find(arrow)) != std::wstring::npos;)
                text.replace(at, 1, L"->");
            SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        }
        // Only an exact match is highlighted before the user moves.
        if (found_.exactCount > 0) SendMessageW(list, LB_SETCURSEL, 0, 0);
        SendMessageW(list, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(list, nullptr, TRUE);
        SetDlgItemTextW(window(), IDC_FIND_COUNT, wideFromUtf8(found_.countText).c_str());
        enableOk();
    }

    // OK chooses the highlighted row; without one there is nothing to choose.
    void enableOk() {
        EnableWindow(item(IDOK),
                     SendDlgItemMessageW(window(), IDC_FIND_LIST, LB_GETCURSEL, 0, 0) != LB_ERR);
    }

    // Without a note on names.txt its room goes: the buttons move up into it and the dialog
    // shrinks by as much.
    void dropNamesNote() {
        HWND note = item(IDC_FIND_NAMES_NOTE);
        RECT noteRect;
        RECT okRect;
        GetWindowRect(note, &noteRect);
        GetWindowRect(item(IDOK), &okRect);
        const int lift = okRect.top - noteRect.top;
        ShowWindow(note, SW_HIDE);
        for (const int id : {IDOK, IDCANCEL}) {
            RECT rect;
            GetWindowRect(item(id), &rect);
            MapWindowPoints(nullptr, window(), reinterpret_cast<POINT*>(&rect), 2);
            SetWindowPos(item(id), nullptr, rect.left, rect.top - lift, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        RECT frame;
        GetWindowRect(window(), &frame);
        SetWindowPos(window(), nullptr, 0, 0, frame.right - frame.left,
                     frame.bottom - frame.top - lift, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    // Up, Down, Page Up and Page Down in the query move the highlight in the list; the focus
    // stays in the query.
    void moveHighlight(WPARAM key) {
        HWND list = item(IDC_FIND_LIST);
        const int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
        if (count <= 0) return;
        const int row = static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0));
        const int page = 10;
        int next = row + (key == VK_UP ? -1 : key == VK_DOWN ? 1 : key == VK_PRIOR ? -page : page);
        next = next < 0 ? 0 : next >= count ? count - 1 : next;
        SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(next), 0);
        enableOk();
    }

    static LRESULT CALLBACK queryProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR, DWORD_PTR self) {
        if (message == WM_KEYDOWN &&
            (wParam == VK_UP || wParam == VK_DOWN || wParam == VK_PRIOR || wParam == VK_NEXT)) {
            reinterpret_cast<FindDialog*>(self)->moveHighlight(wParam);
            return 0;
        }
        if (message == WM_NCDESTROY) RemoveWindowSubclass(edit, queryProc, 0);
        return DefSubclassProc(edit, message, wParam, lParam);
    }

    static constexpr wchar_t arrow[] = L"\u2192";
    ConversionFinder finder_;
    UniqueFont listFont_;
    bool arrowShown_ = true;
    std::string namesNote_;
    FindResults found_;
};

} // namespace

std::optional<FoundConversion> runFindDialog(HINSTANCE instance, HWND owner,
                                             const std::wstring& helpFile,
                                             const ConversionCatalog& catalog,
                                             const UnitNames& names, const std::string& namesNote,
                                             NumberFormat format, std::vector<FindRow> keptRows) {
    FindDialog dialog(helpFile, catalog, names, namesNote, format, std::move(keptRows));
    dialog.run(instance, owner);
    return dialog.chosen;
}
