#pragma once

#include <string>
#include <windows.h>

// A control's whole text, and a write that happens only when the text differs, so that an
// unchanged text raises no change notification.
std::wstring windowText(HWND window);
void setTextIfDifferent(HWND window, const std::wstring& text);

// A path the user chose, as the core's file functions take it.
std::string corePath(const std::wstring& path);
