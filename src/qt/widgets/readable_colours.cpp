#include "qt/widgets/readable_colours.h"

#include "converter/window_colours.h"

#include <QPainter>
#include <QPalette>

Rgb rgbOf(const QColor& colour) {
    return {static_cast<std::uint8_t>(colour.red()), static_cast<std::uint8_t>(colour.green()),
            static_cast<std::uint8_t>(colour.blue())};
}

QColor colourOf(Rgb rgb) {
    return QColor(rgb.red, rgb.green, rgb.blue);
}

QColor readableOn(const QColor& colour, const QColor& background) {
    return colourOf(withContrast(rgbOf(colour), rgbOf(background)));
}

QColor mixedColour(const QColor& a, const QColor& b, double share) {
    return colourOf(mixed(rgbOf(a), rgbOf(b), share));
}

SelectionColours selectionColours(const QPalette& palette, bool keyboard,
                                  QPalette::ColorRole ground) {
    const auto at = [&palette](QPalette::ColorGroup group, QPalette::ColorRole role) {
        return rgbOf(palette.color(group, role));
    };
    const ThemeSelection theme{at(QPalette::Active, QPalette::Highlight),
                               at(QPalette::Active, QPalette::HighlightedText),
                               at(QPalette::Inactive, QPalette::Highlight),
                               at(QPalette::Inactive, QPalette::HighlightedText),
                               at(QPalette::Active, QPalette::Base),
                               at(QPalette::Active, QPalette::Text)};
    const DrawColours colours = ::selectionColours(theme, keyboard, at(QPalette::Active, ground));
    return {colourOf(colours.background), colourOf(colours.text)};
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
