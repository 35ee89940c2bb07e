#include "converter/window_layout.h"

#include <algorithm>

std::vector<ControlChange> extraSpaceChanges(ExtraSpace from, ExtraSpace to) {
    const int dx = to.dx - from.dx;
    const int dy = to.dy - from.dy;
    const int lift = to.lift - from.lift;
    if (dx == 0 && dy == 0 && lift == 0) return {};
    const int half = to.dx / 2 - from.dx / 2;
    const int rest = dx - half;
    return {
        {IDC_BANNER, 0, 0, dx, 0},
        {IDC_TABS, 0, 0, dx, dy},
        {IDC_FROM_CAPTION, 0, -lift, 0, 0},
        {IDC_TO_CAPTION, half, -lift, 0, 0},
        {IDC_FROM_LIST, 0, -lift, half, dy + lift},
        {IDC_TO_LIST, half, -lift, rest, dy + lift},
        {IDC_INPUT_CAPTION, 0, dy, 0, 0},
        {IDC_INPUT, 0, dy, half, 0},
        {IDC_INPUT_UNIT, half, dy, rest, 0},
        {IDC_RESULT_CAPTION, 0, dy, 0, 0},
        {IDC_RESULT, 0, dy, half, 0},
        {IDC_OUTPUT_UNIT, half, dy, rest, 0},
        {IDC_RESULT_DETAIL, 0, dy, dx, 0},
        {IDC_INPUT_DETAIL, 0, dy, dx, 0},
        {IDC_PICTURE, dx, dy, 0, 0},
        {IDC_CONTACT, 0, dy, dx, 0},
    };
}

std::vector<ControlChange> ExtraSpaceLayout::moveTo(ExtraSpace to) {
    std::vector<ControlChange> changes = extraSpaceChanges(extra_, to);
    extra_ = to;
    return changes;
}

std::vector<ControlChange> ExtraSpaceLayout::fold() {
    folded_ = true;
    return moveTo(ExtraSpace{});
}

std::vector<ControlChange> ExtraSpaceLayout::spread(int dx, int dy) {
    folded_ = false;
    return moveTo({std::max(0, dx), std::max(0, dy), extra_.lift});
}

std::vector<ControlChange> ExtraSpaceLayout::liftRows(int rowsLess, int rowHeight) {
    return moveTo({extra_.dx, extra_.dy, std::max(0, rowsLess) * rowHeight});
}

void ExtraSpaceLayout::scale(int numerator, int denominator) {
    // Rounded as the system rounds the window's own pixels.
    const auto scaled = [&](int pixels) {
        return static_cast<int>((2LL * pixels * numerator + denominator) / (2LL * denominator));
    };
    extra_ = {scaled(extra_.dx), scaled(extra_.dy), scaled(extra_.lift)};
}

PixelPoint swapButtonAt(PixelRect fromList, PixelRect toList, int buttonWidth, int buttonHeight) {
    return {(fromList.right + toList.left - buttonWidth) / 2,
            fromList.top + (fromList.bottom - fromList.top - buttonHeight) / 2};
}
