#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Colours of the help pages that follow the reader's theme.

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    bool operator==(const Rgb&) const = default;
};

// "#rgb", "#rrggbb", "rgb(r, g, b)" or one of the basic colour names; nothing for anything else.
std::optional<Rgb> parseCssColour(std::string_view text);
std::string cssColour(Rgb colour); // "#rrggbb"

// The contrast of two colours by their relative luminance, 1 to 21; text is readable on a
// background from minimumContrast on.
double contrastRatio(Rgb a, Rgb b);
inline constexpr double minimumContrast = 4.5;

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
