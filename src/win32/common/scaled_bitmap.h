#pragma once

#include "win32/common/handles.h"

#include <windows.h>

// A picture of the resources as a screen of any DPI needs it: made from the 96-dpi bitmap, or
// from the one drawn at twice that for a screen of more than 96 dpi, scaled smoothly to the
// screen's size, with its transparent parts laid on the colour it stands on. Drawn as it is, at
// its size in pixels, so that no control stretches it again.
struct ScaledBitmap {
    UniqueBitmap bitmap;
    SIZE size{};
};

// normalId: a 24- or 32-bit BMP of the resources (32 bits: with straight alpha); doubledId: the
// same at twice the size, or 0. An empty picture when the resource cannot be read.
ScaledBitmap loadScaledBitmap(HINSTANCE instance, int normalId, int doubledId, int dpi,
                              COLORREF ground);

// Draws the picture with its top left corner at x, y, in its own size; a width beyond it is
// filled with its last column, so that a banner carries on across a wider window.
void drawScaledBitmap(HDC dc, const ScaledBitmap& picture, int x, int y, int width);
