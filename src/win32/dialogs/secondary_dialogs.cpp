#include "win32/dialogs/secondary_dialogs.h"

#include "converter/find_text.h"
#include "product.h"
#include "settings/precision_text.h"
#include "win32/common/system_calls.h"
#include "win32/common/wide_text.h"
#include "win32/common/window_text.h"
#include "win32/resources/resource_ids.h"

#include <commctrl.h>

namespace {

// Each dialog keeps its state in the object whose address came with WM_INITDIALOG.
template <typename State> State* stateOf(HWND dialog, UINT message, LPARAM lParam) {
    if (message == WM_INITDIALOG) SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    return reinterpret_cast<State*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

// Options.

struct OptionsState {
    const std::wstring* helpFile;
    std::vector<CategoryRow>* rows;
};

INT_PTR CALLBACK optionsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = stateOf<OptionsState>(dialog, message, lParam);
    HWND list = GetDlgItem(dialog, IDC_CATEGORY_LIST);
    switch (message) {
    case WM_INITDIALOG: {
        ListView_SetExtendedListViewStyle(list, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
        RECT client;
        GetClientRect(list, &client);
        LVCOLUMNW column{};
        column.mask = LVCF_WIDTH;
        column.cx = client.right - client.left - GetSystemMetrics(SM_CXVSCROLL);
        ListView_InsertColumn(list, 0, &column);
        int index = 0;
        for (const CategoryRow& row : *state->rows) {
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
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            for (std::size_t i = 0; i < state->rows->size(); ++i)
                (*state->rows)[i].selected = ListView_GetCheckState(list, static_cast<int>(i)) != 0;
            EndDialog(dialog, IDOK);
        } else if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, IDCANCEL);
        }
        return TRUE;
    case WM_HELP:
        openHelpFile(*state->helpFile, L"menus.html#options");
        return TRUE;
    default:
        return FALSE;
    }
}

// Precision.

struct PrecisionState {
    const std::wstring* helpFile;
    int value;
    std::wstring accepted;
    bool restoring = false;
};

INT_PTR CALLBACK precisionProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = stateOf<PrecisionState>(dialog, message, lParam);
    HWND edit = GetDlgItem(dialog, IDC_PRECISION_EDIT);
    switch (message) {
    case WM_INITDIALOG: {
        const std::wstring range = L"Number of &decimals (" + std::to_wstring(minPrecision) +
                                   L" to " + std::to_wstring(maxPrecision) + L"):";
        SetDlgItemTextW(dialog, IDC_PRECISION_RANGE, range.c_str());
        SendDlgItemMessageW(dialog, IDC_PRECISION_SPIN, UDM_SETRANGE32, minPrecision, maxPrecision);
        SendDlgItemMessageW(dialog, IDC_PRECISION_SPIN, UDM_SETPOS32, 0, state->value);
        state->accepted = std::to_wstring(state->value);
        SetWindowTextW(edit, state->accepted.c_str());
        SetFocus(edit);
        SendMessageW(edit, EM_SETSEL, 0, -1);
        return FALSE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_PRECISION_EDIT && HIWORD(wParam) == EN_CHANGE &&
            !state->restoring) {
            const std::wstring text = windowText(edit);
            if (const std::optional<int> number = acceptedPrecision(utf8FromWide(text))) {
                state->value = *number;
                state->accepted = text;
            } else {
                // Back to the last accepted text, which the value already stands for.
                state->restoring = true;
                SetWindowTextW(edit, state->accepted.c_str());
                SendMessageW(edit, EM_SETSEL, 0, -1);
                state->restoring = false;
            }
        } else if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, LOWORD(wParam));
        }
        return TRUE;
    case WM_HELP:
        openHelpFile(*state->helpFile, L"menus.html#precision");
        return TRUE;
    default:
        return FALSE;
    }
}

// About.

struct AboutState {
    const std::wstring* helpFile;
};

INT_PTR CALLBACK aboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = stateOf<AboutState>(dialog, message, lParam);
    switch (message) {
    case WM_INITDIALOG:
        // The links show the addresses they open.
        SetDlgItemTextW(dialog, IDC_VENDOR_LINK, L"<a>" VELMORA_VENDOR_SITE "</a>");
        SetDlgItemTextW(dialog, IDC_SECOND_LINK, L"<a>" VELMORA_SECOND_SITE "</a>");
        return TRUE;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->code == NM_CLICK || header->code == NM_RETURN) {
            if (header->idFrom == IDC_VENDOR_LINK) openWithShell(L"" VELMORA_VENDOR_SITE);
            if (header->idFrom == IDC_SECOND_LINK) openWithShell(L"" VELMORA_SECOND_SITE);
            return TRUE;
        }
        return FALSE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(dialog, IDOK);
        return TRUE;
    case WM_HELP:
        openHelpFile(*state->helpFile, L"menus.html#about");
        return TRUE;
    default:
        return FALSE;
    }
}

// Find Conversion.

struct FindState {
    const std::wstring* helpFile;
    ConversionSearch search;
    SearchResult result;
    std::optional<FoundConversion> found;
    WNDPROC editProc = nullptr;
};

void refill(HWND dialog, FindState& state) {
    HWND query = GetDlgItem(dialog, IDC_FIND_QUERY);
    HWND list = GetDlgItem(dialog, IDC_FIND_LIST);
    const std::string text = utf8FromWide(windowText(query));
    state.result = state.search.find(text);
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (const ConversionMatch& match : state.result.matches)
        SendMessageW(list, LB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(wideFromUtf8(matchText(match)).c_str()));
    if (!state.result.matches.empty()) SendMessageW(list, LB_SETCURSEL, 0, 0);
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    SetDlgItemTextW(
        dialog, IDC_FIND_COUNT,
        wideFromUtf8(
            findCountText(state.result,
                          windowText(GetDlgItem(dialog, IDC_FIND_QUERY)).size() >= maxQueryLength))
            .c_str());
    EnableWindow(GetDlgItem(dialog, IDOK), state.result.total > 0);
}

// Up, Down, Page Up and Page Down in the query move the highlight in the list; the focus stays.
LRESULT CALLBACK findEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND dialog = GetParent(edit);
    auto* state = reinterpret_cast<FindState*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (message == WM_KEYDOWN &&
        (wParam == VK_UP || wParam == VK_DOWN || wParam == VK_PRIOR || wParam == VK_NEXT)) {
        HWND list = GetDlgItem(dialog, IDC_FIND_LIST);
        const int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
        if (count > 0) {
            const int row = static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0));
            const int page = 10;
            int next = row + (wParam == VK_UP      ? -1
                              : wParam == VK_DOWN  ? 1
                              : wParam == VK_PRIOR ? -page
                                                   : page);
            next = next < 0 ? 0 : next >= count ? count - 1 : next;
            SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(next), 0);
        }
        return 0;
    }
    return CallWindowProcW(state->editProc, edit, message, wParam, lParam);
}

INT_PTR CALLBACK findProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = stateOf<FindState>(dialog, message, lParam);
    switch (message) {
    case WM_INITDIALOG: {
        HWND query = GetDlgItem(dialog, IDC_FIND_QUERY);
        SendMessageW(query, EM_SETLIMITTEXT, maxQueryLength, 0);
        SendMessageW(query, EM_SETCUEBANNER, TRUE,
                     reinterpret_cast<LPARAM>(L"for example: 5 mi to km"));
        state->editProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(query, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(findEditProc)));
        refill(dialog, *state);
        SetFocus(query);
        return FALSE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_FIND_QUERY:
            if (HIWORD(wParam) == EN_CHANGE) refill(dialog, *state);
            return TRUE;
        case IDC_FIND_LIST:
            if (HIWORD(wParam) != LBN_DBLCLK) return TRUE;
            [[fallthrough]];
        case IDOK: {
            const int row =
                static_cast<int>(SendDlgItemMessageW(dialog, IDC_FIND_LIST, LB_GETCURSEL, 0, 0));
            // Nothing to choose: the dialog stays open for another query.
            if (row < 0 || row >= static_cast<int>(state->result.matches.size())) return TRUE;
            state->found = FoundConversion{state->result.matches[static_cast<std::size_t>(row)],
                                           state->result.value};
            EndDialog(dialog, IDOK);
            return TRUE;
        }
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        default:
            return TRUE;
        }
    case WM_HELP:
        openHelpFile(*state->helpFile, L"menus.html#find");
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

bool runOptionsDialog(HINSTANCE instance, HWND owner, const std::wstring& helpFile,
                      std::vector<CategoryRow>& rows) {
    OptionsState state{&helpFile, &rows};
    return DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_OPTIONS), owner, optionsProc,
                           reinterpret_cast<LPARAM>(&state)) == IDOK;
}

bool runPrecisionDialog(HINSTANCE instance, HWND owner, const std::wstring& helpFile, int& value) {
    PrecisionState state{&helpFile, value, {}};
    if (DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_PRECISION), owner, precisionProc,
                        reinterpret_cast<LPARAM>(&state)) != IDOK)
        return false;
    value = state.value;
    return true;
}

void runAboutDialog(HINSTANCE instance, HWND owner, const std::wstring& helpFile) {
    AboutState state{&helpFile};
    DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_ABOUT), owner, aboutProc,
                    reinterpret_cast<LPARAM>(&state));
}

std::optional<FoundConversion> runFindDialog(HINSTANCE instance, HWND owner,
                                             const std::wstring& helpFile,
                                             const ConversionCatalog& catalog,
                                             const UnitNames& names) {
    FindState state{&helpFile, ConversionSearch(catalog, names), {}, {}, nullptr};
    DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_FIND), owner, findProc,
                    reinterpret_cast<LPARAM>(&state));
    return state.found;
}
