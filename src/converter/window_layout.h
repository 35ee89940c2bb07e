#pragma once

#include "converter/window_template.h"

#include <vector>

// The converter window's layout as both windows lay it out (window_template.h holds the numbers).

struct DialogRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

namespace windowLayout {
inline constexpr DialogRect fromCaption{RECT_FROM_CAPTION};
inline constexpr DialogRect toCaption{RECT_TO_CAPTION};
inline constexpr DialogRect fromList{RECT_FROM_LIST};
inline constexpr DialogRect swapButton{RECT_SWAP};
inline constexpr DialogRect toList{RECT_TO_LIST};
inline constexpr DialogRect inputCaption{RECT_INPUT_CAPTION};
inline constexpr DialogRect input{RECT_INPUT};
inline constexpr DialogRect inputUnit{RECT_INPUT_UNIT};
inline constexpr DialogRect resultCaption{RECT_RESULT_CAPTION};
inline constexpr DialogRect result{RECT_RESULT};
inline constexpr DialogRect outputUnit{RECT_OUTPUT_UNIT};
inline constexpr DialogRect resultDetail{RECT_RESULT_DETAIL};
inline constexpr DialogRect inputDetail{RECT_INPUT_DETAIL};
inline constexpr DialogRect picture{RECT_PICTURE};
inline constexpr DialogRect banner{RECT_BANNER};
inline constexpr DialogRect tabs{RECT_TABS};
inline constexpr DialogRect contact{RECT_CONTACT};
} // namespace windowLayout

// The controls that sit on or below the tabs' display area, in the order a change in the number
// of tab rows moves them; the banner and the tabs themselves stay where they are.
inline constexpr int controlsBelowTabs[] = {
    IDC_FROM_CAPTION, IDC_TO_CAPTION, IDC_FROM_LIST,      IDC_TO_LIST,      IDC_INPUT_CAPTION,
    IDC_INPUT,        IDC_INPUT_UNIT, IDC_RESULT_CAPTION, IDC_RESULT,       IDC_OUTPUT_UNIT,
    IDC_PICTURE,      IDC_CONTACT,    IDC_RESULT_DETAIL,  IDC_INPUT_DETAIL,
};

// Space beyond the smallest size, in pixels: the unit lists take the height, the lists, fields
// and tabs the width. lift is the height of the tab rows that a wider strip no longer needs.
struct ExtraSpace {
    int dx = 0;
    int dy = 0;
    int lift = 0;
};

// How one control moves and grows, in pixels.
struct ControlChange {
    int id = 0;
    int dx = 0;
    int dy = 0;
    int dWidth = 0;
    int dHeight = 0;
};

// The changes of the controls from one share of extra space to the next: the left list and the
// fields take half the width, the right list the other half; the unit labels keep their place
// after the fields, the picture its place at the right. The swap button follows the lists
// (swapButtonAt).
std::vector<ControlChange> extraSpaceChanges(ExtraSpace from, ExtraSpace to);

// The window's extra space, shared out the same way by both windows: each step returns the
// changes the view makes to its controls.
class ExtraSpaceLayout {
  public:
    // Back to the smallest size's layout; sizes are then not spread until spread is called.
    std::vector<ControlChange> fold();
    bool folded() const { return folded_; }
    // The client area's width and height beyond the smallest size, the widths first: the rows
    // the wider tab strip needs depend on them, so the view lays the strip out, then calls
    // liftRows with the rows it no longer needs.
    std::vector<ControlChange> spread(int dx, int dy);
    std::vector<ControlChange> liftRows(int rowsLess, int rowHeight);
    const ExtraSpace& current() const { return extra_; }
    // At another DPI the space scales with the window, without moving anything.
    void scale(int numerator, int denominator);

  private:
    std::vector<ControlChange> moveTo(ExtraSpace to);
    ExtraSpace extra_;
    bool folded_ = true;
};

// Where the swap button stands, wherever the tab rows and the window's size put the lists: in the
// gap between them, halfway down. Rectangles in pixels, left, top, right and bottom exclusive.
struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};
struct PixelPoint {
    int x = 0;
    int y = 0;
};
PixelPoint swapButtonAt(PixelRect fromList, PixelRect toList, int buttonWidth, int buttonHeight);
