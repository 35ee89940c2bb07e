#pragma once

#include <functional>
#include <string>
#include <windows.h>

// Makes the key of a text the window's (empty text: none); empty when done, else why not.
using GlobalKeyTry = std::function<std::string(const std::string& text)>;

// The Global Key dialog: a key control and "No global key", F1 its page of helpFile. text is the
// key as the view's choices keep it (empty for none), note why the window does not hold it (empty
// when it does). OK tries the key chosen, and a key that cannot be had keeps the dialog open with
// the reason. True on OK, with the key's text in text.
bool runGlobalKeyDialog(HINSTANCE instance, HWND owner, const std::wstring& helpFile,
                        std::string& text, const std::string& note, const GlobalKeyTry& tryKey);
