#include "win32/app/console_output.h"

#include "win32/common/wide_text.h"

#include <algorithm>
#include <windows.h>

bool writeConsoleText(ConsoleStream stream, std::string_view text) {
    if (text.empty()) return true;
    const HANDLE handle =
        GetStdHandle(stream == ConsoleStream::Out ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return false;
    DWORD mode = 0;
    if (GetConsoleMode(handle, &mode)) {
        const std::wstring wide = wideFromUtf8(text);
        // Written in pieces: old consoles refuse one very large write.
        constexpr std::size_t piece = 8192;
        for (std::size_t at = 0; at < wide.size(); at += piece) {
            const DWORD size = static_cast<DWORD>(std::min(piece, wide.size() - at));
            DWORD written = 0;
            if (!WriteConsoleW(handle, wide.data() + at, size, &written, nullptr) ||
                written != size)
                return false;
        }
        return true;
    }
    std::size_t at = 0;
    while (at < text.size()) {
        const DWORD size = static_cast<DWORD>(std::min<std::size_t>(text.size() - at, 1u << 20));
        DWORD written = 0;
        if (!WriteFile(handle, text.data() + at, size, &written, nullptr) || written == 0)
            return false;
        at += written;
    }
    return true;
}
