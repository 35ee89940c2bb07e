#pragma once

#include "colour/colour_contrast.h"

#include <QColor>
#include <QPalette>

class QPainter;
class QRect;

// The palette's colours, made readable where the theme falls short: every text stands out from
// its background by at least 4.5:1.

// The toolkit's colours as the converter's and back.
Rgb rgbOf(const QColor& colour);
QColor colourOf(Rgb rgb);

// colour, lightened or darkened as little as it takes to be read on background.
QColor readableOn(const QColor& colour, const QColor& background);
// a with the given share (0 to 1) of b mixed in.
QColor mixedColour(const QColor& a, const QColor& b, double share);

// How a selection is drawn where the keyboard is and where it is not, from the palette
// (converter/window_colours.h says how).
struct SelectionColours {
    QColor background;
    QColor text;
};
SelectionColours selectionColours(const QPalette& palette, bool keyboard,
                                  QPalette::ColorRole ground = QPalette::Base);
// Sets the selection colours of palette, active and inactive alike, to selectionColours().
void useSelectionColours(QPalette& palette, bool keyboard);
// A dotted frame just inside rect, in colour: the selection's text colour, which stands out from
// the selection.
void drawFocusFrame(QPainter& painter, const QRect& rect, const QColor& colour);
