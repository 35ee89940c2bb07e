#pragma once

#include "colour/colour_contrast.h"

#include <optional>
#include <string>
#include <string_view>

// Colours of the help pages that follow the reader's theme.

// "#rgb", "#rrggbb", "rgb(r, g, b)" or one of the basic colour names; nothing for anything else.
std::optional<Rgb> parseCssColour(std::string_view text);
std::string cssColour(Rgb colour); // "#rrggbb"

// The theme's colours for pages: text, its background and links.
struct PageColours {
    Rgb text;
    Rgb base;
    Rgb link;
};

// A page's style sheet with its colours fitted to the theme; its layout stays. A text colour
// that is not readable on the theme's background becomes the theme's text colour; a background
// colour on which the theme's text or links are not readable is left out.
std::string fitStyleSheet(std::string_view css, const PageColours& colours);

// The rules every page gets after its own: the theme's text, background and link colours.
std::string themeStyleSheet(const PageColours& colours);
