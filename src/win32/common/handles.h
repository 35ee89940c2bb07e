#pragma once

#include <utility>
#include <windows.h>

// One owner for a handle of the system's, freed by the call that matches how it was made, on every
// way out of its scope. Moves, never copies: two owners would free it twice.
template <typename Handle, auto destroy> class UniqueHandle {
  public:
    UniqueHandle() noexcept = default;
    explicit UniqueHandle(Handle handle) noexcept : handle_(handle) {}
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { reset(); }

    Handle get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != nullptr; }

    // Frees the handle held, if any, and holds handle instead.
    void reset(Handle handle = nullptr) noexcept {
        if (handle_ && handle_ != handle) destroy(handle_);
        handle_ = handle;
    }
    // The handle, no longer owned here: for a call that takes it over (SetClipboardData).
    [[nodiscard]] Handle release() noexcept { return std::exchange(handle_, nullptr); }

  private:
    Handle handle_ = nullptr;
};

// LoadImage and CreateIcon icons; not shared ones (LR_SHARED), which the system keeps.
using UniqueIcon = UniqueHandle<HICON, DestroyIcon>;
// Brushes, pens, fonts, bitmaps and regions made by the program, once no device context holds them.
template <typename Object> using UniqueGdiObject = UniqueHandle<Object, DeleteObject>;
using UniqueBrush = UniqueGdiObject<HBRUSH>;
using UniqueFont = UniqueGdiObject<HFONT>;
using UniqueBitmap = UniqueGdiObject<HBITMAP>;
// Menus that no window holds: a window's own menu goes with the window.
using UniqueMenu = UniqueHandle<HMENU, DestroyMenu>;
// Device contexts made with CreateDC or handed out by the print dialog; not GetDC's, which
// ReleaseDC gives back.
using UniqueDc = UniqueHandle<HDC, DeleteDC>;
// Memory blocks of GlobalAlloc, and the print dialog's DEVMODE and DEVNAMES.
using UniqueGlobal = UniqueHandle<HGLOBAL, GlobalFree>;
