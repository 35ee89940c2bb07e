#include "qt/widgets/readable_colours.h"

#include "colour/colour_contrast.h"

#include <QPainter>
#include <QPalette>

namespace {

Rgb rgb(const QColor& colour) {
    return {static_cast<std::uint8_t>(colour.red()), static_cast<std::uint8_t>(colour.green()),
            static_cast<std::uint8_t>(colour.blue())};
}

QColor colour(Rgb rgb) {
    return QColor(rgb.red, rgb.green, rgb.blue);
}

} // namespace

QColor readableOn(const QColor& colour, const QColor& background) {
    return ::colour(withContrast(rgb(colour), rgb(background)));
}

QColor mixedColour(const QColor& a, const QColor& b, double share) {
    return colour(mixed(rgb(a), rgb(b), share));
}

SelectionColours selectionColours(const QPalette& palette, bool keyboard,
                                  QPalette::ColorRole ground) {
    const QPalette::ColorGroup group = keyboard ? QPalette::Active : QPalette::Inactive;
    SelectionColours colours{palette.color(group, QPalette::Highlight),
                             palette.color(group, QPalette::HighlightedText)};
    if (!keyboard && colours.background == palette.color(QPalette::Active, QPalette::Highlight))
        colours = {
            mixedColour(palette.color(QPalette::Active, QPalette::Base), colours.background, 0.35),
            palette.color(QPalette::Active, QPalette::Text)};
    // The theme's text colour stays; the background gives way, so a selection keeps its hue.
    colours.background = readableOn(colours.background, colours.text);
    // A selection that melts into its ground is not seen as one: the background moves away from
    // the ground, and the text follows only where it then falls short.
    colours.background = ::colour(withContrast(
        rgb(colours.background), rgb(palette.color(QPalette::Active, ground)), shapeContrast));
    colours.text = readableOn(colours.text, colours.background);
    return colours;
}

void useSelectionColours(QPalette& palette, bool keyboard) {
    const SelectionColours colours = selectionColours(palette, keyboard);
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Highlight, colours.background);
        palette.setColor(group, QPalette::HighlightedText, colours.text);
    }
}

void drawFocusFrame(QPainter& painter, const QRect& rect, const QColor& colour) {
    painter.save();
    painter.setPen(QPen(colour, 1, Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
    painter.restore();
}
