// The converter window's layout on Windows: the tab rows, a window made larger, its size kept
// between runs and its place on the screen, as the Qt window lays itself out.
#include "converter/window_fit.h"
#include "converter/window_layout.h"
#include "settings/settings_file.h"
#include "win32/resources/resource_ids.h"
#include "win32/window/converter_window.h"

#include <algorithm>
#include <commctrl.h>
#include <filesystem>

namespace {

RECT childRect(HWND parent, HWND control) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

RECT workAreaOf(HWND window) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor);
    return monitor.rcWork;
}

} // namespace

// Tab rows.

void ConverterWindow::layOutTabRows() {
    foldExtraSpace();
    adjustForTabRows();
    baseTabRows_ = TabCtrl_GetRowCount(item(IDC_TABS));
    spreadExtraSpace();
}

void ConverterWindow::adjustForTabRows() {
    const int d = model_.tabRowShift(TabCtrl_GetRowCount(item(IDC_TABS)));
    if (d == 0) return;
    // The smallest size grows with the rows before the window does, so that it may.
    minimum_.cy += d;
    RECT frame;
    GetWindowRect(dialog_, &frame);
    SetWindowPos(dialog_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top + d,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    std::vector<ControlChange> changes{{IDC_TABS, 0, 0, 0, d}};
    for (int id : controlsBelowTabs)
        changes.push_back({id, 0, d, 0, 0});
    moveControls(changes);
    placeSwapButton();
}

void ConverterWindow::moveControls(const std::vector<ControlChange>& changes) {
    // All at once, so that each is drawn once, and none from bits copied as it moved.
    HDWP batch = BeginDeferWindowPos(static_cast<int>(changes.size()));
    for (const ControlChange& change : changes) {
        HWND control = item(change.id);
        const RECT rect = childRect(dialog_, control);
        const int x = rect.left + change.dx;
        const int y = rect.top + change.dy;
        const int width = rect.right - rect.left + change.dWidth;
        const int height = rect.bottom - rect.top + change.dHeight;
        constexpr UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS;
        if (batch)
            batch = DeferWindowPos(batch, control, nullptr, x, y, width, height, flags);
        else
            SetWindowPos(control, nullptr, x, y, width, height, flags);
    }
    if (batch) EndDeferWindowPos(batch);
}

// A window that grows: the lists take the height, the lists, fields and tabs the width.

void ConverterWindow::foldExtraSpace() {
    applyExtraSpace(extraSpace_.fold());
}

void ConverterWindow::spreadExtraSpace() {
    RECT client;
    GetClientRect(dialog_, &client);
    applyExtraSpace(extraSpace_.spread(static_cast<int>(client.right - minimum_.cx),
                                       static_cast<int>(client.bottom - minimum_.cy)));
    applyExtraSpace(extraSpace_.liftRows(baseTabRows_ - TabCtrl_GetRowCount(item(IDC_TABS)),
                                         model_.tabRowHeight()));
}

void ConverterWindow::applyExtraSpace(const std::vector<ControlChange>& changes) {
    if (changes.empty()) return;
    moveControls(changes);
    placeSwapButton();
    updateTips();
    // Controls overlap the tabs: each is drawn again whole, none from bits copied as it moved.
    RedrawWindow(dialog_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void ConverterWindow::placeSwapButton() {
    const auto pixels = [this](int id) {
        const RECT rect = childRect(dialog_, item(id));
        return PixelRect{rect.left, rect.top, rect.right, rect.bottom};
    };
    const PixelRect button = pixels(IDC_SWAP);
    const PixelPoint at = swapButtonAt(pixels(IDC_FROM_LIST), pixels(IDC_TO_LIST),
                                       button.right - button.left, button.bottom - button.top);
    SetWindowPos(item(IDC_SWAP), nullptr, at.x, at.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
}

// The size kept in window.ini beside conv.ini, as the Linux window keeps it: the client area
// with the menu bar, in pixels of 96 dpi, which Qt's window sizes are too, so that it comes back
// the same at any scaling.

SIZE ConverterWindow::frameSize() const {
    RECT rect{0, 0, 0, 0};
    AdjustWindowRectExForDpi(&rect, static_cast<DWORD>(GetWindowLongPtrW(dialog_, GWL_STYLE)),
                             FALSE, static_cast<DWORD>(GetWindowLongPtrW(dialog_, GWL_EXSTYLE)),
                             static_cast<UINT>(dpi_));
    return {rect.right - rect.left, rect.bottom - rect.top};
}

SIZE ConverterWindow::minimumWindowSize() const {
    RECT rect{0, 0, minimum_.cx, minimum_.cy};
    AdjustWindowRectExForDpi(&rect, static_cast<DWORD>(GetWindowLongPtrW(dialog_, GWL_STYLE)), TRUE,
                             static_cast<DWORD>(GetWindowLongPtrW(dialog_, GWL_EXSTYLE)),
                             static_cast<UINT>(dpi_));
    return {rect.right - rect.left, rect.bottom - rect.top};
}

void ConverterWindow::restoreSize() {
    const std::optional<WindowSize> kept = readWindowSize(model_.windowSizePath());
    if (!kept) return;
    const SIZE frame = frameSize();
    const SIZE least = minimumWindowSize();
    const RECT area = workAreaOf(dialog_);
    const int width =
        lengthWithin(MulDiv(kept->width, dpi_, 96) + frame.cx, least.cx, area.right - area.left);
    const int height =
        lengthWithin(MulDiv(kept->height, dpi_, 96) + frame.cy, least.cy, area.bottom - area.top);
    SetWindowPos(dialog_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    startMaximised_ = kept->maximised;
}

void ConverterWindow::keepSize() {
    // Maximised or minimised, the size to keep is the one it is restored to.
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    GetWindowPlacement(dialog_, &placement);
    const RECT& normal = placement.rcNormalPosition;
    const SIZE size{normal.right - normal.left, normal.bottom - normal.top};
    const bool maximised =
        placement.showCmd == SW_SHOWMAXIMIZED ||
        (placement.showCmd == SW_SHOWMINIMIZED && (placement.flags & WPF_RESTORETOMAXIMIZED) != 0);
    const SIZE least = minimumWindowSize();
    const std::string path = model_.windowSizePath();
    // A window never resized leaves no file behind; one that was keeps its size up to date.
    std::error_code error;
    if (size.cx == least.cx && size.cy == least.cy && !maximised &&
        !std::filesystem::exists(path, error))
        return;
    const SIZE frame = frameSize();
    // The size is a convenience: a folder that cannot keep it costs only the size next time.
    writeWindowSize(path, WindowSize{MulDiv(size.cx - frame.cx, 96, dpi_),
                                     MulDiv(size.cy - frame.cy, 96, dpi_), maximised});
}

// Where it opens: in the middle of the screen's work area, as Windows centres a new window, and
// below and to the right of another Velmora window already there, as Windows cascades them;
// always wholly on the screen.

namespace {

struct OtherWindow {
    HWND self;
    POINT at;
    int reach;
    bool found = false;
};

BOOL CALLBACK findWindowAt(HWND window, LPARAM data) {
    auto& search = *reinterpret_cast<OtherWindow*>(data);
    wchar_t title[16] = {};
    RECT rect;
    if (window == search.self || !IsWindowVisible(window) ||
        GetWindowTextW(window, title, 16) == 0 || wcscmp(title, L"Velmora") != 0 ||
        !GetWindowRect(window, &rect))
        return TRUE;
    search.found = std::abs(rect.left - search.at.x) < search.reach &&
                   std::abs(rect.top - search.at.y) < search.reach;
    return !search.found;
}

} // namespace

void ConverterWindow::placeOnScreen() {
    RECT frame;
    GetWindowRect(dialog_, &frame);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    const RECT area = workAreaOf(dialog_);
    OtherWindow search{dialog_,
                       {area.left + (area.right - area.left - width) / 2,
                        area.top + (area.bottom - area.top - height) / 2},
                       0};
    const int step = GetSystemMetricsForDpi(SM_CYCAPTION, static_cast<UINT>(dpi_)) +
                     GetSystemMetricsForDpi(SM_CYSIZEFRAME, static_cast<UINT>(dpi_));
    search.reach = std::max(1, step / 2);
    for (int tries = 0; tries < 16; ++tries) {
        search.found = false;
        EnumWindows(findWindowAt, reinterpret_cast<LPARAM>(&search));
        if (!search.found) break;
        search.at.x += step;
        search.at.y += step;
    }
    SetWindowPos(dialog_, nullptr,
                 startWithin(search.at.x, width, area.left, area.right - area.left),
                 startWithin(search.at.y, height, area.top, area.bottom - area.top), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
