#pragma once

#include <QFont>
#include <QRect>

// Converts dialog units to pixels from the dialog font: a horizontal unit is a quarter of the
// average character width, a vertical unit an eighth of the character height.
class DialogUnits {
  public:
    explicit DialogUnits(const QFont& font);
    int x(int units) const;
    int y(int units) const;
    QRect rect(int x, int y, int width, int height) const;

  private:
    int baseX_;
    int baseY_;
};
