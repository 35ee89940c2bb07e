#pragma once

#include "win32/common/handles.h"

#include <string_view>
#include <windows.h>

// A control's text drawn with characters its font lacks shows empty boxes (the dialog font has no
// arrows under Wine, nor on every Windows). These find a font that has every character.

// True when font has a glyph for every character of text.
bool fontHasGlyphs(HFONT font, std::wstring_view text);

// Makes the control draw with a font that has every character of text: its own when it has them,
// else the first face of a list of fonts that commonly have them (Windows' symbol fonts, then
// fonts that Wine finds on Linux), in the same height, kept in made. False when none has them;
// the control keeps its font, and the caller spells the text another way.
bool useFontWithGlyphs(HWND control, std::wstring_view text, UniqueFont& made);
