// The Windows program: the converter window and nothing else.
#include "win32/app/user_data_folder.h"
#include "win32/common/startup_steps.h"
#include "win32/common/wide_text.h"
#include "win32/window/converter_window.h"

#include <windows.h>
// The common controls need windows.h first.
#include <commctrl.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    markStartupStep("main");
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_TAB_CLASSES |
                                                       ICC_LISTVIEW_CLASSES | ICC_UPDOWN_CLASS |
                                                       ICC_LINK_CLASS | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    markStartupStep("common-controls");
    // The installed copy works in the user's own folder; a portable one where it was started.
    if (const UserDataFolder data = enterUserDataFolder(); !data.failure.empty()) {
        MessageBoxW(nullptr, wideFromUtf8(userDataFolderMessage(data)).c_str(), L"Error",
                    MB_OK | MB_ICONERROR);
        return 0;
    }
    markStartupStep("data-folder");
    ConverterWindow window(instance);
    return window.run();
}
