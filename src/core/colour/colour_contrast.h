#pragma once

#include <cstdint>

// Colours as 8-bit sRGB components, and the contrast between two of them as the accessibility
// guidelines for the web measure it: the ratio of their relative luminances, each plus 0.05, from
// 1 (the same) to 21 (black on white). Text is readable on a background from minimumContrast on.
struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    bool operator==(const Rgb&) const = default;
};

inline constexpr double minimumContrast = 4.5;
// What a shape that is not text, a selection's background, needs against what is around it.
inline constexpr double shapeContrast = 3.0;

double relativeLuminance(Rgb colour);
double contrastRatio(Rgb a, Rgb b);
// a with the given share (0 to 1) of b mixed in.
Rgb mixed(Rgb a, Rgb b, double share);
// colour moved towards white or black, just as far as it takes to stand out from background by
// the minimum; unchanged when it already does. It keeps to its own side of the background (a
// light colour on a dark background gets lighter) when that side leaves room enough.
Rgb withContrast(Rgb colour, Rgb background, double minimum = minimumContrast);
