#include "win32/common/glyph_fonts.h"

#include <vector>

bool fontHasGlyphs(HFONT font, std::wstring_view text) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
    std::vector<WORD> glyphs(text.size());
    const DWORD done = GetGlyphIndicesW(dc, text.data(), static_cast<int>(text.size()),
                                        glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    if (done == GDI_ERROR) return false;
    for (const WORD glyph : glyphs)
        if (glyph == 0xFFFF) return false;
    return true;
}

bool useFontWithGlyphs(HWND control, std::wstring_view text, UniqueFont& made) {
    const auto own = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    if (fontHasGlyphs(own, text)) return true;
    LOGFONTW like{};
    GetObjectW(own ? own : GetStockObject(DEFAULT_GUI_FONT), sizeof like, &like);
    for (const wchar_t* face : {L"Segoe UI Symbol", L"Segoe UI", L"Lucida Sans Unicode",
                                L"Arial Unicode MS", L"DejaVu Sans", L"Liberation Sans"}) {
        wcsncpy(like.lfFaceName, face, LF_FACESIZE - 1);
        UniqueFont candidate(CreateFontIndirectW(&like));
        // The font mapper gives another face for one that is not installed: what counts is the
        // font it gave.
        if (!candidate || !fontHasGlyphs(candidate.get(), text)) continue;
        made = std::move(candidate);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(made.get()), TRUE);
        return true;
    }
    return false;
}
