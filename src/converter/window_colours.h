#pragma once

#include "colour/colour_contrast.h"

// The colours both windows draw with beyond the theme's own, from the theme's colours.

struct DrawColours {
    Rgb background;
    Rgb text;
};

// The input field while part of what is typed cannot be read: amber mixed into the field's own
// colour, with its text made readable on it, light theme or dark.
DrawColours unreadInputColours(Rgb field, Rgb text);

// A theme's colours for list selections.
struct ThemeSelection {
    Rgb highlight;               // with the keyboard
    Rgb highlightedText;         // with the keyboard
    Rgb inactiveHighlight;       // without it
    Rgb inactiveHighlightedText; // without it
    Rgb base;                    // the list's own background
    Rgb text;                    // the list's own text
};

// How a selection is drawn where the keyboard is and where it is not: with the keyboard, in the
// theme's active selection colours; without, in its inactive ones, or in a tint of the selection
// colour with the usual text where the theme draws both alike. Either selection stands out from
// the ground it is drawn on by at least 3:1, and its text from it by at least 4.5:1.
DrawColours selectionColours(const ThemeSelection& theme, bool keyboard, Rgb ground);
