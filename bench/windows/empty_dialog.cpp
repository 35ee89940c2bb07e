// The floor for start-up under Wine: an empty dialog of the converter window's caption, size and
// manifest, shown the same way (modeless, with a message loop), so what velmora.exe takes beyond
// it is the program's own.
#include <windows.h>

// The common controls need windows.h first.
#include <commctrl.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    HWND dialog = CreateDialogParamW(
        instance, MAKEINTRESOURCEW(102), nullptr,
        [](HWND window, UINT message, WPARAM, LPARAM) -> INT_PTR {
            if (message == WM_CLOSE) DestroyWindow(window);
            if (message == WM_DESTROY) PostQuitMessage(0);
            return message == WM_INITDIALOG;
        },
        0);
    ShowWindow(dialog, SW_SHOWNORMAL);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        if (!IsDialogMessageW(dialog, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    return 0;
}
