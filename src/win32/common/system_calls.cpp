#include "win32/common/system_calls.h"

void openWithShell(const wchar_t* target) {
    using ShellExecuteFunction = HINSTANCE(WINAPI*)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);
    if (const auto shellExecute =
            systemFunction<ShellExecuteFunction>(L"shell32.dll", "ShellExecuteW"))
        shellExecute(nullptr, L"open", target, nullptr, nullptr, SW_SHOWNORMAL);
}

void openHelpFile(const std::wstring& file, const wchar_t* page) {
    // The system's HTML Help, loaded only when asked for; without it, whatever opens .chm files.
    using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);
    if (GetFileAttributesW(file.c_str()) == INVALID_FILE_ATTRIBUTES) return;
    const std::wstring topic = page ? file + L"::/" + page : file;
    constexpr UINT displayTopic = 0; // HH_DISPLAY_TOPIC
    if (const auto htmlHelp = systemFunction<HtmlHelpFunction>(L"hhctrl.ocx", "HtmlHelpW"))
        if (htmlHelp(GetDesktopWindow(), topic.c_str(), displayTopic, 0)) return;
    openWithShell(file.c_str());
}
