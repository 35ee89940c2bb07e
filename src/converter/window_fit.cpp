#include "converter/window_fit.h"

#include <algorithm>

int tabRowsThatFit(int heightWithOneRow, int rowHeight, int available) {
    if (rowHeight <= 0 || available <= heightWithOneRow) return 1;
    return 1 + (available - heightWithOneRow) / rowHeight;
}

int startWithin(int start, int length, int areaStart, int areaLength) {
    return std::max(areaStart, std::min(start, areaStart + areaLength - length));
}

int lengthWithin(int wanted, int minimum, int available) {
    return std::max(minimum, std::min(wanted, available));
}
