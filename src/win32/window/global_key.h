#pragma once

#include "win32/common/hot_key_text.h"

#include <string>
#include <windows.h>

// The key that brings the window forward from any program, registered with the system for one
// window by the text the view's choices keep it as.
class GlobalKey {
  public:
    GlobalKey() = default;
    GlobalKey(const GlobalKey&) = delete;
    GlobalKey& operator=(const GlobalKey&) = delete;
    ~GlobalKey() { release(); }

    // Makes the key text names the window's (empty text: none), in place of the one it had, which
    // it keeps when the new one cannot be had. Empty when done, else why not, as a clause ("Ctrl+
    // Alt+F8 is taken by another program").
    std::string set(HWND window, const std::string& text);
    // The key's text while the window holds one; empty otherwise.
    std::string heldText() const { return id_ ? hotKeyText(held_) : std::string(); }

  private:
    void release();

    HWND window_ = nullptr;
    // Two ids in turn, so that the new key is had before the old one goes.
    int id_ = 0;
    HotKey held_;
};
