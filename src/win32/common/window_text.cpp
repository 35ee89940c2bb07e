#include "win32/common/window_text.h"

#include "win32/common/wide_text.h"

std::wstring windowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), length + 1)));
    return text;
}

void setTextIfDifferent(HWND window, const std::wstring& text) {
    if (windowText(window) != text) SetWindowTextW(window, text.c_str());
}

std::string corePath(const std::wstring& path) {
    // The manifest makes the process's code page UTF-8, so the core's narrow paths reach the
    // file system with every character.
    return utf8FromWide(path);
}
