#include "converter/window_layout.h"

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

PixelPoint swapButtonAt(PixelRect fromList, PixelRect toList, int buttonWidth, int buttonHeight) {
    return {(fromList.right + toList.left - buttonWidth) / 2,
            fromList.top + (fromList.bottom - fromList.top - buttonHeight) / 2};
}
