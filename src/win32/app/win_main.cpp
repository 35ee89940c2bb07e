// The Windows program: the converter window and nothing else.
#include "win32/window/converter_window.h"

#include <windows.h>
// The common controls need windows.h first.
#include <commctrl.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_TAB_CLASSES |
                                                       ICC_LISTVIEW_CLASSES | ICC_UPDOWN_CLASS |
                                                       ICC_LINK_CLASS | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    ConverterWindow window(instance);
    return window.run();
}
