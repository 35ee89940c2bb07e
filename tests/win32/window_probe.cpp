// Reads the converter window back for the end-to-end tests, as a screen reader would, from
// another process: control texts, list entries and selections, tab selection and screen rects.
//   window_probe state [TITLE]    one "name=value" line per item, UTF-8
//   window_probe rect TITLE ID    the control's screen rectangle: left top right bottom
//   window_probe text TITLE ID    the control's text
//   window_probe enabled TITLE ID whether the control takes input: 1 or 0
//   window_probe focus TITLE      the id of the control with the keyboard
//   window_probe shot TITLE FILE  the window's pixels as a 24-bit BMP
//   window_probe frames TITLE     each top-level window of that title: left top right bottom
//   window_probe selection TITLE ID  the colours of a list's selected row and of the window:
//                                 R G B R G B
//   window_probe version FILE     the program's version resource and how many icons it holds
//   window_probe maximise TITLE   maximises the window as its caption button would (minimise too)
//   window_probe items TITLE ID   a list box's entries
//   window_probe hold TITLE [MODIFIERS KEY]  a window of another program, holding a global key,
//                                 until ended
#include <windows.h>

// The common controls and the shell need windows.h first.
#include <commctrl.h>
#include <cstdio>
#include <shellapi.h>
#include <string>

namespace {

std::string utf8(const std::wstring& text) {
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size > 0 ? size - 1 : 0), '\0');
    if (size > 1)
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), size, nullptr, nullptr);
    return out;
}

std::wstring text(HWND window) {
    wchar_t buffer[4096] = {};
    SendMessageW(window, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(buffer));
    return buffer;
}

void list(const char* name, HWND box) {
    const int count = static_cast<int>(SendMessageW(box, LB_GETCOUNT, 0, 0));
    std::wstring items;
    for (int i = 0; i < count; ++i) {
        wchar_t buffer[1024] = {};
        SendMessageW(box, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buffer));
        items += (i ? L"|" : L"") + std::wstring(buffer);
    }
    RECT client;
    GetClientRect(box, &client);
    const LRESULT height = SendMessageW(box, LB_GETITEMHEIGHT, 0, 0);
    std::printf("%s=%s\n%s_selected=%d\n%s_rows=%ld\n%s_top=%d\n", name, utf8(items).c_str(), name,
                static_cast<int>(SendMessageW(box, LB_GETCURSEL, 0, 0)), name,
                height > 0 ? client.bottom / static_cast<long>(height) : 0L, name,
                static_cast<int>(SendMessageW(box, LB_GETTOPINDEX, 0, 0)));
}

HWND findTop(const wchar_t* title) {
    // The dialogs of this process's windows are of the dialog class.
    return FindWindowW(L"#32770", title);
}

} // namespace

BOOL CALLBACK printFrame(HWND window, LPARAM title) {
    RECT rect;
    if (IsWindowVisible(window) && text(window) == reinterpret_cast<const wchar_t*>(title) &&
        GetWindowRect(window, &rect))
        std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right, rect.bottom);
    return TRUE;
}

int version(const wchar_t* file) {
    DWORD unused = 0;
    std::string data(GetFileVersionInfoSizeW(file, &unused), '\0');
    if (data.empty() || !GetFileVersionInfoW(file, 0, static_cast<DWORD>(data.size()), data.data()))
        return 4;
    for (const wchar_t* name : {L"ProductName", L"ProductVersion", L"FileVersion", L"CompanyName",
                                L"LegalCopyright", L"FileDescription", L"OriginalFilename"}) {
        void* value = nullptr;
        UINT size = 0;
        const std::wstring key = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
        if (VerQueryValueW(data.data(), key.c_str(), &value, &size))
            std::printf("%s=%s\n", utf8(name).c_str(), utf8(static_cast<wchar_t*>(value)).c_str());
    }
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT size = 0;
    if (VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &size))
        std::printf("numbers=%lu.%lu.%lu.%lu\n", fixed->dwFileVersionMS >> 16,
                    fixed->dwFileVersionMS & 0xFFFF, fixed->dwFileVersionLS >> 16,
                    fixed->dwFileVersionLS & 0xFFFF);
    std::printf("icons=%u\n", ExtractIconExW(file, -1, nullptr, nullptr, 0));
    return 0;
}

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    const std::wstring command = argv[1];
    if (command == L"version" && argc > 2) return version(argv[2]);
    if (command == L"frames" && argc > 2)
        return !EnumWindows(printFrame, reinterpret_cast<LPARAM>(argv[2]));
    if (command == L"hold" && argc > 2) {
        CreateWindowExW(0, L"Static", argv[2], WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200,
                        nullptr, nullptr, nullptr, nullptr);
        if (argc > 4 && !RegisterHotKey(nullptr, 1, _wtoi(argv[3]), _wtoi(argv[4]))) return 4;
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0)
            DispatchMessageW(&message);
        return 0;
    }
    HWND window = findTop(argc > 2 ? argv[2] : L"Velmora");
    if (!window) return 3;
    if (command == L"state") {
        std::printf("title=%s\n", utf8(text(window)).c_str());
        HWND tabs = GetDlgItem(window, 1009);
        std::printf("tab=%d\ntabs=%d\nrows=%d\n",
                    static_cast<int>(SendMessageW(tabs, TCM_GETCURSEL, 0, 0)),
                    static_cast<int>(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0)),
                    static_cast<int>(SendMessageW(tabs, TCM_GETROWCOUNT, 0, 0)));
        list("from", GetDlgItem(window, 1008));
        list("to", GetDlgItem(window, 1010));
        const struct {
            const char* name;
            int id;
        } texts[] = {
            {"input", 1003}, {"result", 1004}, {"input_unit", 1005}, {"output_unit", 1006}};
        for (const auto& t : texts)
            std::printf("%s=%s\n", t.name, utf8(text(GetDlgItem(window, t.id))).c_str());
        RECT client;
        GetClientRect(window, &client);
        std::printf("client_height=%ld\n", client.bottom);
        std::printf("maximised=%d\nminimised=%d\ntopmost=%d\n", IsZoomed(window) ? 1 : 0,
                    IsIconic(window) ? 1 : 0,
                    (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) ? 1 : 0);
        return 0;
    }
    if (command == L"maximise" || command == L"minimise") {
        // As the caption's button does it.
        PostMessageW(window, WM_SYSCOMMAND, command == L"maximise" ? SC_MAXIMIZE : SC_MINIMIZE, 0);
        return 0;
    }
    if (command == L"items" && argc > 3) {
        list("items", GetDlgItem(window, _wtoi(argv[3])));
        return 0;
    }
    if (command == L"rect" && argc > 3) {
        HWND control = GetDlgItem(window, _wtoi(argv[3]));
        RECT rect;
        if (!control || !GetWindowRect(control, &rect)) return 4;
        std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right, rect.bottom);
        return 0;
    }
    if (command == L"text" && argc > 3) {
        HWND control = GetDlgItem(window, _wtoi(argv[3]));
        if (!control) return 4;
        std::printf("%s\n", utf8(text(control)).c_str());
        return 0;
    }
    if (command == L"enabled" && argc > 3) {
        std::printf("%d\n", IsWindowEnabled(GetDlgItem(window, _wtoi(argv[3]))) ? 1 : 0);
        return 0;
    }
    if (command == L"focus") {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return 4;
        std::printf("%d\n", GetDlgCtrlID(info.hwndFocus));
        return 0;
    }
    if (command == L"selection" && argc > 3) {
        HWND list = GetDlgItem(window, _wtoi(argv[3]));
        const auto row = SendMessageW(list, LB_GETCURSEL, 0, 0);
        RECT rect;
        if (row < 0 || SendMessageW(list, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&rect)) < 0)
            return 4;
        // Near the row's right end, where no text is drawn.
        POINT at{rect.right - 3, (rect.top + rect.bottom) / 2};
        ClientToScreen(list, &at);
        HDC screen = GetDC(nullptr);
        const COLORREF row_colour = GetPixel(screen, at.x, at.y);
        ReleaseDC(nullptr, screen);
        const COLORREF ground = GetSysColor(COLOR_WINDOW);
        std::printf("%d %d %d %d %d %d\n", GetRValue(row_colour), GetGValue(row_colour),
                    GetBValue(row_colour), GetRValue(ground), GetGValue(ground), GetBValue(ground));
        return 0;
    }
    if (command == L"shot" && argc > 3) {
        RECT rect;
        GetWindowRect(window, &rect);
        const int width = rect.right - rect.left, height = rect.bottom - rect.top;
        HDC screen = GetDC(nullptr);
        HDC memory = CreateCompatibleDC(screen);
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
        GdiFlush();
        const DWORD rowBytes = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
        const DWORD size = rowBytes * static_cast<DWORD>(height);
        BITMAPFILEHEADER file{
            0x4D42, static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + size),
            0, 0, sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)};
        FILE* out = _wfopen(argv[3], L"wb");
        if (!out) return 4;
        std::fwrite(&file, sizeof file, 1, out);
        std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out);
        std::fwrite(bits, 1, size, out);
        std::fclose(out);
        return 0;
    }
    return 2;
}
