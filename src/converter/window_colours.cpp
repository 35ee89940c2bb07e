#include "converter/window_colours.h"

namespace {

constexpr Rgb unreadAmber{240, 165, 0};

} // namespace

DrawColours unreadInputColours(Rgb field, Rgb text) {
    const Rgb tint = mixed(field, unreadAmber, 7.0 / 20.0);
    return {tint, withContrast(text, tint)};
}

DrawColours selectionColours(const ThemeSelection& theme, bool keyboard, Rgb ground) {
    DrawColours colours = keyboard
                              ? DrawColours{theme.highlight, theme.highlightedText}
                              : DrawColours{theme.inactiveHighlight, theme.inactiveHighlightedText};
    if (!keyboard && colours.background == theme.highlight)
        colours = {mixed(theme.base, colours.background, 0.35), theme.text};
    // The theme's text colour stays; the background gives way, so a selection keeps its hue.
    colours.background = withContrast(colours.background, colours.text);
    // A selection that melts into its ground is not seen as one: the background moves away from
    // the ground, and the text follows only where it then falls short.
    colours.background = withContrast(colours.background, ground, shapeContrast);
    colours.text = withContrast(colours.text, colours.background);
    return colours;
}
