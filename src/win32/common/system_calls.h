#pragma once

#include <string>
#include <windows.h>

// The file dialogs, printing, the shell and HTML Help are loaded when first used: linked at start,
// they bring their libraries (the print spooler's among them) into every start-up, which then
// takes half as much memory again as an empty dialog. From the system folder only, so that no
// file beside the program stands in for them. Null when the library or function is missing.
template <typename Function> Function systemFunction(const wchar_t* library, const char* name) {
    HMODULE module = LoadLibraryExW(library, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return module
               ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)))
               : nullptr;
}

// Opens a web address or file with the user's default program; a failure passes silently.
void openWithShell(const wchar_t* target);

// Opens the help file on page ("menus.html#options"), or on its contents page when page is null;
// nothing when the file is missing.
void openHelpFile(const std::wstring& file, const wchar_t* page);
