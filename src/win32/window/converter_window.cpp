#include "win32/window/converter_window.h"

#include "converter/report_text.h"
#include "converter/window_colours.h"
#include "converter/window_layout.h"
#include "converter/window_texts.h"
#include "names/unit_names.h"
#include "product.h"
#include "value/user_number_format.h"
#include "win32/common/glyph_fonts.h"
#include "win32/common/startup_steps.h"
#include "win32/common/system_calls.h"
#include "win32/common/wide_text.h"
#include "win32/common/window_text.h"
#include "win32/dialogs/about_dialog.h"
#include "win32/dialogs/find_dialog.h"
#include "win32/dialogs/global_key_dialog.h"
#include "win32/dialogs/options_dialog.h"
#include "win32/dialogs/precision_dialog.h"
#include "win32/resources/resource_ids.h"

#include <algorithm>
#include <commctrl.h>
#include <commdlg.h>
#include <filesystem>
#include <shellapi.h>
#include <system_error>
#include <utility>
#include <vector>

namespace {

Rgb rgbOf(COLORREF colour) {
    return {GetRValue(colour), GetGValue(colour), GetBValue(colour)};
}

COLORREF colourOf(Rgb rgb) {
    return RGB(rgb.red, rgb.green, rgb.blue);
}

// Fills a list box with entries and selects one, drawing once at the end.
template <typename Text> void fillList(HWND list, int count, int selected, Text text) {
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (int row = 0; row < count; ++row)
        SendMessageW(list, LB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(wideFromUtf8(text(row)).c_str()));
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(selected), 0);
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

void selectRow(HWND list, int row) {
    if (static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0)) != row)
        SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
}

// The width a control's text takes in its font, in pixels.
int textWidth(HWND control, const std::wstring& text) {
    HDC dc = GetDC(control);
    HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return size.cx;
}

void setTip(HWND tooltip, HWND control, const std::wstring& text) {
    TOOLINFOW info{};
    info.cbSize = sizeof info;
    info.hwnd = GetParent(control);
    info.uId = reinterpret_cast<UINT_PTR>(control);
    info.lpszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(tooltip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
}

} // namespace

ConverterWindow::ConverterWindow(HINSTANCE instance) : instance_(instance) {}

int ConverterWindow::run() {
    accelerators_ = LoadAcceleratorsW(instance_, MAKEINTRESOURCEW(IDR_ACCELERATORS));
    // The catalog loads on a thread of its own while the system makes the window's controls; the
    // window waits for it before it first shows the model.
    const NumberFormat user = userNumberFormat();
    NumberFormat format(user.decimal);
    format.spaceGroups = user.spaceGroups;
    model_.setNumberFormat(format);
    const std::filesystem::path folder = workingFolder();
    try {
        loading_ = std::thread([this, folder] { loaded_ = model_.start(folder); });
    } catch (const std::system_error&) {
        // No thread to be had: loaded here, before the controls.
        loaded_ = model_.start(folder);
    }
    dialog_ = CreateDialogParamW(instance_, MAKEINTRESOURCEW(IDD_CONVERTER), nullptr, dialogProc,
                                 reinterpret_cast<LPARAM>(this));
    if (loading_.joinable()) loading_.join();
    if (!dialog_) return 1;
    if (!started_) {
        // The message has been shown; nothing else runs and nothing is written.
        DestroyWindow(dialog_);
        return 0;
    }
    ShowWindow(dialog_, startMaximised_ ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
    markStartupStep("shown");
    UpdateWindow(dialog_);
    markStartupStep("painted");
    // Tips are first needed when the pointer rests on a control: made once the window is there.
    createTips();
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (preTranslate(message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}

bool ConverterWindow::preTranslate(MSG& message) {
    if (!dialog_ || (message.hwnd != dialog_ && !IsChild(dialog_, message.hwnd))) return false;
    if (message.message == WM_KEYDOWN) {
        const bool control = GetKeyState(VK_CONTROL) < 0;
        switch (message.wParam) {
        case VK_RETURN:
        case VK_ESCAPE:
            // Past the dialog manager, so they neither press a button nor end the window.
            TranslateMessage(&message);
            DispatchMessageW(&message);
            return true;
        case 'C':
            // The report is copied and the key still reaches the control, which copies a
            // selection of the user's; the value Find selected is for typing over, not copying.
            if (control) {
                copyReport();
                if (message.hwnd == item(IDC_INPUT) && inputSelectedByFind_) return true;
            }
            break;
        case VK_CONTROL:
        case VK_SHIFT:
        case VK_MENU:
            break;
        case VK_TAB:
            inputSelectedByFind_ = false;
            if (control) {
                model_.stepCategory(GetKeyState(VK_SHIFT) < 0 ? -1 : +1);
                syncView();
                return true;
            }
            break;
        default:
            // Any other key moves or types over what Find selected.
            inputSelectedByFind_ = false;
            break;
        }
    }
    if (message.message == WM_LBUTTONDOWN || message.message == WM_RBUTTONDOWN)
        inputSelectedByFind_ = false;
    if (accelerators_ && TranslateAcceleratorW(dialog_, accelerators_, &message)) return true;
    return IsDialogMessageW(dialog_, &message) != 0;
}

INT_PTR CALLBACK ConverterWindow::dialogProc(HWND dialog, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        auto* window = reinterpret_cast<ConverterWindow*>(lParam);
        window->dialog_ = dialog;
        window->started_ = window->initialise();
        return FALSE; // the focus was placed in the From list
    }
    auto* window = reinterpret_cast<ConverterWindow*>(GetWindowLongPtrW(dialog, DWLP_USER));
    return window ? window->handle(message, wParam, lParam) : FALSE;
}

std::filesystem::path ConverterWindow::workingFolder() {
    std::vector<wchar_t> directory(MAX_PATH);
    DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(directory.size()), directory.data());
    if (length >= directory.size()) {
        // No length limit: asked again with room for the whole path.
        directory.resize(length + 1);
        length = GetCurrentDirectoryW(static_cast<DWORD>(directory.size()), directory.data());
    }
    return std::wstring(directory.data(), length);
}

void ConverterWindow::createTips() {
    tooltip_ = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0,
                               dialog_, nullptr, instance_, nullptr);
    for (int id : {IDC_INPUT, IDC_RESULT, IDC_INPUT_UNIT, IDC_OUTPUT_UNIT, IDC_RESULT_DETAIL,
                   IDC_INPUT_DETAIL}) {
        TOOLINFOW info{};
        info.cbSize = sizeof info;
        info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        info.hwnd = dialog_;
        info.uId = reinterpret_cast<UINT_PTR>(item(id));
        info.lpszText = const_cast<wchar_t*>(L"");
        SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    }
    updateTips();
}

bool ConverterWindow::initialise() {
    markStartupStep("dialog");
    bigIcon_.reset(static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_MAIN), IMAGE_ICON,
                                                 GetSystemMetrics(SM_CXICON),
                                                 GetSystemMetrics(SM_CYICON), 0)));
    smallIcon_.reset(static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_MAIN),
                                                   IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                   GetSystemMetrics(SM_CYSMICON), 0)));
    SendMessageW(dialog_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
    SendMessageW(dialog_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
    markStartupStep("icons");
    SetDlgItemTextW(dialog_, IDC_CONTACT, wideFromUtf8(VELMORA_CONTACT_LINE).c_str());
    // The arrows in a font that has them, or spelled with what every font has.
    SetDlgItemTextW(dialog_, IDC_SWAP,
                    useFontWithGlyphs(item(IDC_SWAP), L"\u21C4", swapFont_) ? L"\u21C4" : L"<>");
    // The unit labels stay empty until a conversion is current.
    SetDlgItemTextW(dialog_, IDC_INPUT_UNIT, L"");
    SetDlgItemTextW(dialog_, IDC_OUTPUT_UNIT, L"");
    // The result field's menu is the program's, with Copy Exact Value; an edit control would
    // show its own on a right click and on Shift+F10.
    SetWindowSubclass(item(IDC_RESULT), resultFieldProc, 0, 0);
    markStartupStep("swap-font");

    // One row's height, from a tab that exists only to be measured, with the room around its
    // text that the window's DPI gives it.
    HWND tabs = item(IDC_TABS);
    dpi_ = static_cast<int>(GetDpiForWindow(dialog_));
    padTabs();
    TCITEMW probe{};
    probe.mask = TCIF_TEXT;
    probe.pszText = const_cast<wchar_t*>(L"Ag");
    TabCtrl_InsertItem(tabs, 0, &probe);
    RECT rect{};
    TabCtrl_GetItemRect(tabs, 0, &rect);
    TabCtrl_DeleteAllItems(tabs);
    markStartupStep("tab-row");

    if (loading_.joinable()) loading_.join();
    markStartupStep("catalog");
    if (!loaded_) {
        showError(loaded_.why());
        return false;
    }
    model_.setTabRowHeight(rect.bottom - rect.top);
    // Once the model is there: the list asks it for names as it scrolls.
    SetWindowSubclass(item(IDC_TO_LIST), toListProc, 0, reinterpret_cast<DWORD_PTR>(this));
    RECT client;
    GetClientRect(dialog_, &client);
    minimum_ = {client.right, client.bottom};
    fitToDpi();
    markStartupStep("bitmaps");
    syncView();
    markStartupStep("tabs-and-lists");
    layOutTabRows();
    restoreSize();
    placeOnScreen();
    applyAlwaysOnTop();
    // A key taken by another program is said in the View menu, not in a message at every start.
    globalKeyNote_ = globalKey_.set(dialog_, model_.viewChoices().globalKey);
    markStartupStep("layout");
    SetFocus(item(IDC_FROM_LIST));
    return true;
}

void ConverterWindow::padTabs() {
    // The tab control keeps the padding it has at 96 DPI, 6 by 3 pixels, at every DPI: at 150%
    // the names of a full row touch their tabs' edges.
    HWND tabs = item(IDC_TABS);
    TabCtrl_SetPadding(tabs, MulDiv(6, dpi_, 96), MulDiv(3, dpi_, 96));
    // Measured again with the padding.
    SendMessageW(tabs, WM_SETFONT, SendMessageW(tabs, WM_GETFONT, 0, 0), FALSE);
}

void ConverterWindow::fitToDpi() {
    // The banner stands on the dialog's own ground, the picture on the tabs' page, which is drawn
    // in the window colour.
    banner_ =
        loadScaledBitmap(instance_, IDB_BANNER, IDB_BANNER_2X, dpi_, GetSysColor(COLOR_BTNFACE));
    picture_ = loadScaledBitmap(instance_, IDB_PICTURE, 0, dpi_, GetSysColor(COLOR_WINDOW));
    // Each as large as its picture; the banner's width beyond it is the window's extra space.
    SetWindowPos(item(IDC_BANNER), nullptr, 0, 0, banner_.size.cx + extraSpace_.current().dx,
                 banner_.size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(item(IDC_PICTURE), nullptr, 0, 0, picture_.size.cx, picture_.size.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // The lists draw their own rows, as tall as a list of their font draws them.
    for (int id : {IDC_FROM_LIST, IDC_TO_LIST}) {
        HWND list = item(id);
        HDC dc = GetDC(list);
        HGDIOBJ old =
            SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0)));
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);
        SelectObject(dc, old);
        ReleaseDC(list, dc);
        SendMessageW(list, LB_SETITEMHEIGHT, 0, metrics.tmHeight);
    }
}

void ConverterWindow::drawItem(const DRAWITEMSTRUCT& draw) {
    HDC dc = draw.hDC;
    const RECT& rect = draw.rcItem;
    if (draw.CtlType == ODT_STATIC) {
        drawScaledBitmap(dc, draw.CtlID == IDC_BANNER ? banner_ : picture_, rect.left, rect.top,
                         rect.right - rect.left);
        return;
    }
    if (draw.CtlType != ODT_LISTBOX || draw.itemID == static_cast<UINT>(-1)) return;
    HWND list = draw.hwndItem;
    const auto row = static_cast<WPARAM>(draw.itemID);
    std::wstring text;
    std::wstring result;
    if (draw.CtlID == IDC_TO_LIST) {
        // Not the item string, which carries the result for screen readers.
        text = wideFromUtf8(model_.toText(static_cast<int>(row)));
        result = wideFromUtf8(model_.toResultText(static_cast<int>(row)));
    } else {
        text.resize(static_cast<std::size_t>(SendMessageW(list, LB_GETTEXTLEN, row, 0)) + 1);
        text.resize(static_cast<std::size_t>(
            SendMessageW(list, LB_GETTEXT, row, reinterpret_cast<LPARAM>(text.data()))));
    }
    // The selection of the list without the keyboard stands apart from the one with it, and both
    // from the list, as on Linux; Windows' own lists draw both alike.
    const Rgb base = rgbOf(GetSysColor(COLOR_WINDOW));
    const Rgb ink = rgbOf(GetSysColor(COLOR_WINDOWTEXT));
    const bool keyboard = GetFocus() == list;
    DrawColours colours{base, ink};
    if (draw.itemState & ODS_SELECTED) {
        const Rgb highlight = rgbOf(GetSysColor(COLOR_HIGHLIGHT));
        const Rgb highlightText = rgbOf(GetSysColor(COLOR_HIGHLIGHTTEXT));
        colours = selectionColours({highlight, highlightText, highlight, highlightText, base, ink},
                                   keyboard, base);
    }
    SetBkColor(dc, colourOf(colours.background));
    SetTextColor(dc, colourOf(colours.text));
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    RECT textRect = rect;
    textRect.left += 2;
    constexpr UINT line = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
    if (!result.empty()) {
        // A space's width from the row's end, and two between the name and the result.
        SIZE space{};
        GetTextExtentPoint32W(dc, L" ", 1, &space);
        SIZE width{};
        GetTextExtentPoint32W(dc, result.c_str(), static_cast<int>(result.size()), &width);
        RECT resultRect = rect;
        resultRect.right -= space.cx + 2;
        DrawTextW(dc, result.c_str(), static_cast<int>(result.size()), &resultRect,
                  line | DT_RIGHT);
        textRect.right = resultRect.right - width.cx - 2 * space.cx;
    }
    if (textRect.right > textRect.left)
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &textRect,
                  line | DT_END_ELLIPSIS);
    if (keyboard && (draw.itemState & ODS_FOCUS)) DrawFocusRect(dc, &rect);
}

INT_PTR ConverterWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE:
        if (!extraSpace_.folded() && wParam != SIZE_MINIMIZED) spreadExtraSpace();
        return TRUE;
    case WM_GETMINMAXINFO:
        // The template's size, laid out for the tab rows, is the least.
        if (minimum_.cx > 0) {
            const SIZE least = minimumWindowSize();
            reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {least.cx, least.cy};
        }
        return TRUE;
    case WM_DRAWITEM:
        drawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        SetWindowLongPtrW(dialog_, DWLP_MSGRESULT, TRUE);
        return TRUE;
    case WM_COMMAND:
        command(LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_INITMENUPOPUP:
        fillKeptMenu(reinterpret_cast<HMENU>(wParam));
        return TRUE;
    case WM_HOTKEY:
        comeForward();
        return TRUE;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->idFrom == IDC_TABS && header->code == TCN_SELCHANGE) {
            model_.onTabChanged(TabCtrl_GetCurSel(header->hwndFrom));
            syncView();
            SetWindowLongPtrW(dialog_, DWLP_MSGRESULT, 0);
            return TRUE;
        }
        return FALSE;
    }
    case WM_CONTEXTMENU:
        if (reinterpret_cast<HWND>(wParam) == item(IDC_RESULT)) {
            showResultMenu(lParam);
            return TRUE;
        }
        return FALSE;
    case WM_CTLCOLOREDIT:
        if (reinterpret_cast<HWND>(lParam) == item(IDC_INPUT) &&
            !model_.unreadInputNote().empty()) {
            const DrawColours tint = unreadInputColours(rgbOf(GetSysColor(COLOR_WINDOW)),
                                                        rgbOf(GetSysColor(COLOR_WINDOWTEXT)));
            if (!unreadBrush_) unreadBrush_.reset(CreateSolidBrush(colourOf(tint.background)));
            const auto dc = reinterpret_cast<HDC>(wParam);
            SetBkColor(dc, colourOf(tint.background));
            SetTextColor(dc, colourOf(tint.text));
            return reinterpret_cast<INT_PTR>(unreadBrush_.get());
        }
        return FALSE;
    case WM_CTLCOLORSTATIC: {
        // The captions and unit labels stand on the tabs' page, which is drawn in the window
        // colour; the read-only result keeps the look of a field that cannot be typed into.
        const int id = GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
        if (id == IDC_RESULT || id == IDC_CONTACT || id == IDC_BANNER) return FALSE;
        const auto dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_WINDOW));
    }
    case WM_SETCURSOR:
        // The banner is a link: it shows the hand.
        if (reinterpret_cast<HWND>(wParam) == item(IDC_BANNER)) {
            SetCursor(LoadCursorW(nullptr, IDC_HAND));
            SetWindowLongPtrW(dialog_, DWLP_MSGRESULT, TRUE);
            return TRUE;
        }
        return FALSE;
    case WM_DPICHANGED: {
        // The system scales the dialog and its controls; the row height that later layouts move
        // them by, the least size and the extra space scale with them, and the pictures and list
        // rows are made again for the new DPI.
        const int dpi = LOWORD(wParam);
        if (dpi_ > 0) {
            const auto scale = [&](LONG pixels) { return MulDiv(pixels, dpi, dpi_); };
            model_.setTabRowHeight(scale(model_.tabRowHeight()));
            minimum_ = {scale(minimum_.cx), scale(minimum_.cy)};
            extraSpace_.scale(dpi, dpi_);
        }
        dpi_ = dpi;
        padTabs();
        fitToDpi();
        const auto* suggested = reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(dialog_, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        // Rows of another height: other rows in view.
        nameToRows();
        return TRUE;
    }
    case WM_CLOSE:
        closeWindow();
        return TRUE;
    case WM_ENDSESSION:
        // Windows is shutting down or the user signs out: the closing steps still run.
        if (wParam) closeWindow();
        return TRUE;
    case WM_DESTROY:
        PostQuitMessage(0);
        return TRUE;
    default:
        return FALSE;
    }
}

void ConverterWindow::command(int id, int code) {
    const int kept = id - IDM_KEPT_FIRST;
    if (kept >= 0 && kept < IDM_KEPT_RANGE * static_cast<int>(keptItems_.size())) {
        const auto& items = keptItems_[static_cast<std::size_t>(kept / IDM_KEPT_RANGE)];
        const auto place = static_cast<std::size_t>(kept % IDM_KEPT_RANGE);
        if (place < items.size()) runKeptItem(items[place]);
        return;
    }
    if (id >= IDM_KEY_FAVOURITE_1 && id < IDM_KEY_FAVOURITE_1 + numberedFavourites) {
        runShortcut("Ctrl+" + std::to_string(id - IDM_KEY_FAVOURITE_1 + 1));
        return;
    }
    switch (id) {
    case IDC_INPUT:
        if (code == EN_CHANGE && started_) {
            inputSelectedByFind_ = false;
            model_.onInputChanged(utf8FromWide(windowText(item(IDC_INPUT))));
            syncView();
        }
        return;
    case IDC_FROM_LIST:
    case IDC_TO_LIST:
        // The selection is drawn one way with the keyboard and another without.
        if (code == LBN_SETFOCUS || code == LBN_KILLFOCUS) InvalidateRect(item(id), nullptr, FALSE);
        if (code == LBN_SELCHANGE && !naming_) {
            const int row = static_cast<int>(SendMessageW(item(id), LB_GETCURSEL, 0, 0));
            if (id == IDC_FROM_LIST)
                model_.onFromChanged(row);
            else
                model_.onToChanged(row);
            syncView();
        }
        return;
    case IDC_BANNER:
        if (code == STN_CLICKED) openWithShell(L"" VELMORA_VENDOR_SITE);
        return;
    case IDM_EXIT:
        closeWindow();
        return;
    case IDM_COPY:
        copyReport();
        return;
    case IDM_COPY_EXACT:
        copyExactValue();
        return;
    case IDM_COPY_RESULT:
        copyResult();
        return;
    case IDC_SWAP:
        if (code != BN_CLICKED) return;
        [[fallthrough]];
    case IDM_SWAP:
        if (model_.swapUnits()) syncView();
        return;
    case IDM_SAVE:
        saveReport();
        return;
    case IDM_PRINT:
        printReport();
        return;
    case IDM_OPTIONS:
        editOptions();
        return;
    case IDM_PRECISION:
        editPrecision();
        return;
    case IDM_FIND:
        findConversion();
        return;
    case IDM_KEY_FAVOURITE:
        runShortcut("Ctrl+D");
        return;
    case IDM_GLOBAL_KEY:
        editGlobalKey();
        return;
    case IDM_CONTENTS:
        openHelp();
        return;
    case IDM_ABOUT:
        showAbout();
        return;
    default:
        return;
    }
}

void ConverterWindow::closeWindow() {
    if (closed_) return;
    closed_ = true;
    for (const Status& step : model_.close())
        if (!step) showError(step.why());
    keepSize();
    DestroyWindow(dialog_);
}

void ConverterWindow::showError(const std::string& text) {
    MessageBoxW(dialog_, wideFromUtf8(text).c_str(), L"Error", MB_OK | MB_ICONERROR);
}

void ConverterWindow::syncView() {
    // Writing the input field raises its change, which brings the model up to date and asks for
    // another pass rather than starting one inside this one.
    if (syncing_) {
        resync_ = true;
        return;
    }
    syncing_ = true;
    do {
        resync_ = false;
        HWND tabs = item(IDC_TABS);
        if (shownTabs_ != model_.tabsRevision()) {
            shownTabs_ = model_.tabsRevision();
            // Each tab added measures every tab's text again unless the tabs are of one fixed
            // width meanwhile; the whole strip is measured once, when the width is freed.
            const LONG_PTR style = GetWindowLongPtrW(tabs, GWL_STYLE);
            SetWindowLongPtrW(tabs, GWL_STYLE, style | TCS_FIXEDWIDTH);
            TabCtrl_DeleteAllItems(tabs);
            for (int tab = 0; tab < model_.tabCount(); ++tab) {
                // A tab draws "&" as the mark of an access key; the name shows as written.
                std::wstring text;
                for (wchar_t c : wideFromUtf8(model_.tabText(tab)))
                    text.append(c == L'&' ? 2 : 1, c);
                TCITEMW entry{};
                entry.mask = TCIF_TEXT;
                entry.pszText = const_cast<wchar_t*>(text.c_str());
                TabCtrl_InsertItem(tabs, tab, &entry);
            }
            SetWindowLongPtrW(tabs, GWL_STYLE, style);
            SendMessageW(tabs, WM_SETFONT, SendMessageW(tabs, WM_GETFONT, 0, 0), FALSE);
            markStartupStep("tabs");
        }
        if (TabCtrl_GetCurSel(tabs) != model_.selectedTab())
            TabCtrl_SetCurSel(tabs, model_.selectedTab());
        if (shownFrom_ != model_.fromRevision()) {
            shownFrom_ = model_.fromRevision();
            fillList(item(IDC_FROM_LIST), model_.fromCount(), model_.selectedFrom(),
                     [this](int row) { return model_.fromText(row); });
        }
        selectRow(item(IDC_FROM_LIST), model_.selectedFrom());
        if (shownTo_ != model_.toRevision()) {
            shownTo_ = model_.toRevision();
            fillList(item(IDC_TO_LIST), model_.toCount(), model_.selectedTo(),
                     [this](int row) { return model_.toText(row); });
            namedToRows_.clear();
        }
        selectRow(item(IDC_TO_LIST), model_.selectedTo());
        setTextIfDifferent(item(IDC_INPUT_UNIT), wideFromUtf8(model_.inputUnitLabel()));
        setTextIfDifferent(item(IDC_OUTPUT_UNIT), wideFromUtf8(model_.outputUnitLabel()));
        setTextIfDifferent(item(IDC_RESULT), wideFromUtf8(model_.resultText()));
        setTextIfDifferent(item(IDC_RESULT_DETAIL), wideFromUtf8(model_.resultDetail()));
        setTextIfDifferent(item(IDC_INPUT_DETAIL), wideFromUtf8(model_.inputDetail()));
        setTextIfDifferent(item(IDC_INPUT), wideFromUtf8(model_.inputText()));
    } while (resync_);
    syncing_ = false;
    nameToRows();
    updateTips();
    InvalidateRect(item(IDC_INPUT), nullptr, TRUE);
}

void ConverterWindow::nameToRows() {
    HWND list = item(IDC_TO_LIST);
    const int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    // Not while the list holds other rows than the model's, before it is filled again.
    if (naming_ || count != model_.toCount()) return;
    const int top = static_cast<int>(SendMessageW(list, LB_GETTOPINDEX, 0, 0));
    const int selected = static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0));
    RECT client;
    GetClientRect(list, &client);
    const int height = std::max(1, static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0)));
    const int end = std::min(count, top + (static_cast<int>(client.bottom) + height - 1) / height);
    const auto inView = [&](int row) { return row >= top && row < end; };
    std::vector<std::pair<int, std::wstring>> renamed;
    for (const int row : namedToRows_)
        if (!inView(row) && row != selected && row < count)
            renamed.emplace_back(row, wideFromUtf8(model_.toText(row)));
    namedToRows_.clear();
    const auto name = [&](int row) {
        if (!model_.toResultText(row).empty()) namedToRows_.push_back(row);
        std::wstring text = wideFromUtf8(model_.toRowName(row));
        std::wstring shown(static_cast<std::size_t>(SendMessageW(list, LB_GETTEXTLEN, row, 0)) + 1,
                           L'\0');
        shown.resize(static_cast<std::size_t>(
            SendMessageW(list, LB_GETTEXT, row, reinterpret_cast<LPARAM>(shown.data()))));
        if (shown != text) renamed.emplace_back(row, std::move(text));
    };
    for (int row = top; row < end; ++row)
        name(row);
    if (selected >= 0 && !inView(selected)) name(selected);
    if (renamed.empty()) return;
    // A list box cannot change an item's string: each is taken out and put back, with the
    // selection and the first row in view as they were, drawn once at the end.
    naming_ = true;
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    for (const auto& [row, text] : renamed) {
        SendMessageW(list, LB_DELETESTRING, static_cast<WPARAM>(row), 0);
        SendMessageW(list, LB_INSERTSTRING, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(text.c_str()));
    }
    if (static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0)) != selected)
        SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(selected), 0);
    SendMessageW(list, LB_SETTOPINDEX, static_cast<WPARAM>(top), 0);
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, FALSE);
    naming_ = false;
}

LRESULT CALLBACK ConverterWindow::toListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam,
                                             UINT_PTR, DWORD_PTR window) {
    if (message == WM_NCDESTROY) RemoveWindowSubclass(list, toListProc, 0);
    const LRESULT answer = DefSubclassProc(list, message, wParam, lParam);
    if (message == WM_VSCROLL || message == WM_MOUSEWHEEL || message == WM_SIZE)
        reinterpret_cast<ConverterWindow*>(window)->nameToRows();
    return answer;
}

void ConverterWindow::updateTips() {
    if (!tooltip_) return;
    setTip(tooltip_, item(IDC_INPUT), wideFromUtf8(model_.unreadInputNote()));
    setTip(tooltip_, item(IDC_RESULT), wideFromUtf8(model_.exactResult()));
    // A label draws "..." where its text is cut; its tip, like its accessible name (the label's
    // text), has all of it.
    for (int id : {IDC_INPUT_UNIT, IDC_OUTPUT_UNIT, IDC_RESULT_DETAIL, IDC_INPUT_DETAIL}) {
        HWND label = item(id);
        const std::wstring text = windowText(label);
        RECT client;
        GetClientRect(label, &client);
        setTip(tooltip_, label, textWidth(label, text) > client.right ? text : std::wstring());
    }
}

// Commands.

namespace {

// A clipboard block holding size bytes of data; nullptr when none could be had.
HGLOBAL globalCopy(const void* data, std::size_t size) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!block) return nullptr;
    if (void* bytes = GlobalLock(block)) {
        memcpy(bytes, data, size);
        GlobalUnlock(block);
        return block;
    }
    GlobalFree(block);
    return nullptr;
}

// The text as Unicode and in the system's code page, so that every program can paste it.
void copyText(HWND owner, const std::string& utf8) {
    if (!OpenClipboard(owner)) return;
    EmptyClipboard();
    const std::wstring wide = wideFromUtf8(utf8);
    if (HGLOBAL block = globalCopy(wide.c_str(), (wide.size() + 1) * sizeof(wchar_t)))
        if (!SetClipboardData(CF_UNICODETEXT, block)) GlobalFree(block);
    const int size = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<std::size_t>(size > 0 ? size : 1), '\0');
    if (size > 0)
        WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, ansi.data(), size, nullptr, nullptr);
    if (HGLOBAL block = globalCopy(ansi.data(), ansi.size()))
        if (!SetClipboardData(CF_TEXT, block)) GlobalFree(block);
    CloseClipboard();
}

} // namespace

LRESULT CALLBACK ConverterWindow::resultFieldProc(HWND field, UINT message, WPARAM wParam,
                                                  LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (message == WM_CONTEXTMENU)
        return SendMessageW(GetParent(field), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(field),
                            lParam);
    if (message == WM_NCDESTROY) RemoveWindowSubclass(field, resultFieldProc, 0);
    return DefSubclassProc(field, message, wParam, lParam);
}

void ConverterWindow::showResultMenu(LPARAM at) {
    HWND field = item(IDC_RESULT);
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(field, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    enum : UINT { copySelection = 1, selectAll = 2 };
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING | (start == end ? MF_GRAYED : 0), copySelection, L"&Copy");
    AppendMenuW(menu, MF_STRING | (GetWindowTextLengthW(field) == 0 ? MF_GRAYED : 0), selectAll,
                L"Select &All");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING | (model_.exactResult().empty() ? MF_GRAYED : 0), IDM_COPY_EXACT,
                L"Copy &Exact Value");
    POINT point{static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
    // From the keyboard (Shift+F10 or the menu key): under the field.
    if (point.x == -1 && point.y == -1) {
        RECT rect;
        GetWindowRect(field, &rect);
        point = {rect.left, rect.bottom};
    }
    const UINT chosen = static_cast<UINT>(TrackPopupMenu(
        menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD, point.x, point.y, 0, dialog_, nullptr));
    DestroyMenu(menu);
    if (chosen == copySelection) SendMessageW(field, WM_COPY, 0, 0);
    if (chosen == selectAll) SendMessageW(field, EM_SETSEL, 0, -1);
    if (chosen == IDM_COPY_EXACT) copyExactValue();
}

void ConverterWindow::copyReport() {
    copyText(dialog_, model_.report());
}

void ConverterWindow::copyResult() {
    if (!model_.copiedResult().empty()) copyText(dialog_, model_.copiedResult());
}

void ConverterWindow::copyExactValue() {
    if (!model_.exactResult().empty()) copyText(dialog_, model_.exactResult());
}

namespace {

// What the Save dialog's hook judges a name by, and the file it let through.
struct SaveChoice {
    const ConverterModel& model;
    std::wstring suffix;
    std::wstring path;
};

// The file the user means: a name typed without a suffix takes the report's, where the dialog
// would give it the extension of the type chosen in its list.
std::wstring reportPath(const std::wstring& chosen, const std::wstring& typed,
                        const std::wstring& suffix) {
    const std::wstring name = typed.substr(typed.find_last_of(L"\\/") + 1);
    if (name.empty() || name.find(L'.') != std::wstring::npos) return chosen;
    return chosen.substr(0, chosen.find_last_of(L"\\/") + 1) + name + L"." + suffix;
}

// Answers the dialog's OK: a name the model refuses is said so, and the dialog stays open for
// another; a file already there is replaced only when the user says so. The dialog's own
// question would come before the refusal, and ask about the name with the type's extension.
UINT_PTR CALLBACK saveHook(HWND hook, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_NOTIFY) return 0;
    const auto* notice = reinterpret_cast<const OFNOTIFYW*>(lParam);
    if (notice->hdr.code != CDN_FILEOK) return 0;
    auto& choice = *reinterpret_cast<SaveChoice*>(notice->lpOFN->lCustData);
    HWND chooser = GetParent(hook);
    wchar_t typed[MAX_PATH] = {};
    // The first of the dialog's own messages gives the name in its name field, as typed.
    SendMessageW(chooser, CDM_FIRST, MAX_PATH, reinterpret_cast<LPARAM>(typed));
    const std::wstring chosen = notice->lpOFN->lpstrFile;
    const std::wstring path = reportPath(chosen, typed, choice.suffix);
    bool refused = false;
    if (const Status allowed = choice.model.mayHoldReport(corePath(path)); !allowed) {
        MessageBoxW(chooser, wideFromUtf8(allowed.why()).c_str(), L"Velmora", MB_OK | MB_ICONSTOP);
        refused = true;
    } else if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
        const std::wstring question = path.substr(path.find_last_of(L"\\/") + 1) +
                                      L" already exists.\nDo you want to replace it?";
        refused = MessageBoxW(chooser, question.c_str(), L"Confirm Save As",
                              MB_YESNO | MB_ICONWARNING) != IDYES;
    }
    if (!refused) choice.path = path;
    SetWindowLongPtrW(hook, DWLP_MSGRESULT, refused);
    return refused;
}

} // namespace

void ConverterWindow::saveReport() {
    std::vector<wchar_t> path(32768, L'\0');
    // Pairs of name and pattern, each ending in a null, and one more at the end.
    std::wstring filters;
    for (const FileFilter& filter : reportFileFilters)
        filters += wideFromUtf8(std::string(filter.name)) + L'\0' +
                   wideFromUtf8(std::string(filter.pattern)) + L'\0';
    SaveChoice choice{model_, wideFromUtf8(std::string(reportFileSuffix)), {}};
    OPENFILENAMEW chooser{};
    chooser.lStructSize = sizeof chooser;
    chooser.hwndOwner = dialog_;
    chooser.lpstrFilter = filters.c_str();
    chooser.lpstrFile = path.data();
    chooser.nMaxFile = static_cast<DWORD>(path.size());
    chooser.lpstrDefExt = choice.suffix.c_str();
    // The hook answers OK, so that a refused name keeps the dialog open.
    chooser.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_ENABLEHOOK | OFN_ENABLESIZING;
    chooser.lpfnHook = saveHook;
    chooser.lCustData = reinterpret_cast<LPARAM>(&choice);
    const auto getSaveFileName =
        systemFunction<BOOL(WINAPI*)(OPENFILENAMEW*)>(L"comdlg32.dll", "GetSaveFileNameW");
    if (!getSaveFileName || !getSaveFileName(&chooser)) return;
    const std::wstring chosen = choice.path.empty() ? std::wstring(path.data()) : choice.path;
    if (const Status saved = model_.saveReport(corePath(chosen), utf8FromWide(chosen)); !saved)
        MessageBoxW(dialog_, wideFromUtf8(saved.why()).c_str(), L"Velmora", MB_OK | MB_ICONSTOP);
}

void ConverterWindow::printReport() {
    PRINTDLGW chooser{};
    chooser.lStructSize = sizeof chooser;
    chooser.hwndOwner = dialog_;
    chooser.Flags = PD_ALLPAGES | PD_USEDEVMODECOPIES | PD_NOPAGENUMS | PD_HIDEPRINTTOFILE |
                    PD_NOSELECTION | PD_RETURNDC;
    const auto printDlg = systemFunction<BOOL(WINAPI*)(PRINTDLGW*)>(L"comdlg32.dll", "PrintDlgW");
    const BOOL chosen = printDlg && printDlg(&chooser);
    if (chooser.hDevMode) GlobalFree(chooser.hDevMode);
    if (chooser.hDevNames) GlobalFree(chooser.hDevNames);
    if (!chosen || !chooser.hDC) return;
    HDC printer = chooser.hDC;
    DOCINFOW document{};
    document.cbSize = sizeof document;
    document.lpszDocName = L"Velmora";
    bool printed = false;
    if (StartDocW(printer, &document) > 0) {
        StartPage(printer);
        // Each line one "pak" height below the last.
        SIZE size{};
        GetTextExtentPoint32W(printer, L"pak", 3, &size);
        int y = reportPrintTop;
        for (const std::string& line : reportPrintLines(model_.report())) {
            const std::wstring text = wideFromUtf8(line);
            TextOutW(printer, reportPrintLeft, y, text.c_str(), static_cast<int>(text.size()));
            y += size.cy;
        }
        if (EndPage(printer) > 0) {
            printed = EndDoc(printer) > 0;
        } else {
            AbortDoc(printer);
        }
    }
    DeleteDC(printer);
    if (!printed)
        MessageBoxW(dialog_, L"The report could not be printed.", L"Velmora", MB_OK | MB_ICONSTOP);
}

void ConverterWindow::editOptions() {
    std::vector<CategoryRow> rows = model_.optionRows();
    if (!runOptionsDialog(instance_, dialog_, helpFile(), rows)) return;
    // The row count the current layout stands for, read while the strip still shows the old
    // tabs, at the smallest width the layout is made for.
    foldExtraSpace();
    if (!model_.applyOptions(rows, TabCtrl_GetRowCount(item(IDC_TABS))).changed) {
        spreadExtraSpace();
        return;
    }
    syncView();
    layOutTabRows();
    RedrawWindow(dialog_, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void ConverterWindow::editPrecision() {
    int value = model_.precision();
    ViewChoices choices = model_.viewChoices();
    if (!runPrecisionDialog(instance_, dialog_, helpFile(), value, choices.numbers)) return;
    model_.setViewChoices(choices);
    model_.setPrecision(value);
    syncView();
}

void ConverterWindow::findConversion() {
    // Read at each opening, so that names added to the file meanwhile count.
    const ConverterModel::FindNames names = model_.namesForFind();
    const std::optional<FoundConversion> found =
        runFindDialog(instance_, dialog_, helpFile(), catalog_, names.names, names.note,
                      model_.numberFormat(), model_.keptFindRows());
    if (!found || !found->match.conversion) return;
    model_.showConversion(found->match.tab, *found->match.conversion, found->value);
    showChosenConversion();
}

void ConverterWindow::showChosenConversion() {
    syncView();
    SetFocus(item(IDC_INPUT));
    SendMessageW(item(IDC_INPUT), EM_SETSEL, 0, -1);
    inputSelectedByFind_ = true;
}

void ConverterWindow::showAbout() {
    runAboutDialog(instance_, dialog_, helpFile());
}

void ConverterWindow::openHelp() {
    openHelpFile(wideFromUtf8(model_.helpPath()), nullptr);
}

// The View, Favourites and Recent menus.

namespace {

// They follow File and Convert in the menu bar.
constexpr int firstKeptMenu = 2;

std::wstring menuText(const std::string& text) {
    std::wstring shown;
    for (const wchar_t c : wideFromUtf8(text))
        shown.append(c == L'&' ? 2 : 1, c);
    return shown;
}

// The menu font lacks the arrow under Wine, as the dialog font does: spelled "->" there.
bool menuFontHasArrow() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return true;
    const UniqueFont font(CreateFontIndirectW(&metrics.lfMenuFont));
    return fontHasGlyphs(font.get(), L"\u2192");
}

void appendItem(HMENU menu, UINT flags, UINT id, const std::wstring& text = {}) {
    AppendMenuW(menu, flags, id, text.empty() ? nullptr : text.c_str());
}

} // namespace

void ConverterWindow::fillKeptMenu(HMENU popup) {
    HMENU bar = GetMenu(dialog_);
    int kind = 0;
    while (kind < static_cast<int>(keptItems_.size()) &&
           GetSubMenu(bar, firstKeptMenu + kind) != popup)
        ++kind;
    if (kind == static_cast<int>(keptItems_.size())) return;
    auto& items = keptItems_[static_cast<std::size_t>(kind)];
    items = kind == 0   ? viewMenuItems(model_)
            : kind == 1 ? favouritesMenuItems(model_)
                        : recentMenuItems(model_);
    while (GetMenuItemCount(popup) > 0)
        DeleteMenu(popup, 0, MF_BYPOSITION);
    const bool arrowShown = menuFontHasArrow();
    for (int place = 0; place < static_cast<int>(items.size()); ++place) {
        const KeptMenuItem& item = items[static_cast<std::size_t>(place)];
        if (item.text.empty()) {
            appendItem(popup, MF_SEPARATOR, 0);
            continue;
        }
        std::wstring text = wideFromUtf8(item.text);
        for (std::size_t at; !arrowShown && (at = text.find(L'\u2192')) != std::wstring::npos;)
            text.replace(at, 1, L"->");
        if (!item.shortcut.empty()) text += L"\t" + wideFromUtf8(item.shortcut);
        const int id = place < IDM_KEPT_RANGE ? IDM_KEPT_FIRST + kind * IDM_KEPT_RANGE + place : 0;
        appendItem(popup,
                   MF_STRING | (item.checked ? MF_CHECKED : 0) | (item.enabled ? 0 : MF_GRAYED),
                   static_cast<UINT>(id), text);
    }
    if (kind != 0) return;
    // Windows alone has the global key: its item and, when the key could not be had, why.
    appendItem(popup, MF_SEPARATOR, 0);
    const std::string held = globalKey_.heldText();
    appendItem(popup, MF_STRING, IDM_GLOBAL_KEY,
               L"&Global Key..." + (held.empty() ? std::wstring() : L"\t" + wideFromUtf8(held)));
    if (!globalKeyNote_.empty())
        appendItem(popup, MF_STRING | MF_GRAYED, 0,
                   menuText(globalKeyNote_ + "; choose another with Global Key..."));
}

void ConverterWindow::runKeptItem(const KeptMenuItem& item) {
    if (!item.enabled) return;
    const bool opened = runKeptMenuItem(model_, item);
    applyAlwaysOnTop();
    // Show All Results among them: the To rows drawn and named again.
    if (opened)
        showChosenConversion();
    else
        syncView();
}

void ConverterWindow::runShortcut(const std::string& shortcut) {
    if (const std::optional<KeptMenuItem> item = keptMenuItemFor(model_, shortcut))
        runKeptItem(*item);
}

void ConverterWindow::applyAlwaysOnTop() {
    const bool onTop = model_.viewChoices().alwaysOnTop;
    const auto isOnTop = [this] {
        return (GetWindowLongPtrW(dialog_, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    };
    if (onTop == isOnTop()) return;
    const auto place = [&] {
        SetWindowPos(dialog_, onTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    };
    place();
    // Wine puts a window that owns a popup (the tips) right below it, never above the windows
    // on top: the tips are made again once the window is there.
    if (onTop && !isOnTop() && tooltip_) {
        DestroyWindow(tooltip_);
        tooltip_ = nullptr;
        place();
        createTips();
    }
}

void ConverterWindow::comeForward() {
    if (IsIconic(dialog_)) ShowWindow(dialog_, SW_RESTORE);
    // A dialog of the window's, Find among them, holds it disabled until it closes.
    if (!IsWindowEnabled(dialog_)) {
        SetForegroundWindow(GetLastActivePopup(dialog_));
        return;
    }
    SetForegroundWindow(dialog_);
    // Find opens once an open menu has closed, from the window's own loop.
    EndMenu();
    PostMessageW(dialog_, WM_COMMAND, IDM_FIND, 0);
}

void ConverterWindow::editGlobalKey() {
    ViewChoices choices = model_.viewChoices();
    const GlobalKeyTry tryKey = [this](const std::string& text) {
        return globalKey_.set(dialog_, text);
    };
    if (!runGlobalKeyDialog(instance_, dialog_, helpFile(), choices.globalKey, globalKeyNote_,
                            tryKey))
        return;
    globalKeyNote_.clear();
    model_.setViewChoices(choices);
}
