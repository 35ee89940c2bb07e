#pragma once

#include <string>
#include <windows.h>

// The About box with its two links, F1 its page of helpFile.
void runAboutDialog(HINSTANCE instance, HWND owner, const std::wstring& helpFile);
