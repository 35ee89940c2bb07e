#include "converter/window_fit.h"

#include <gtest/gtest.h>
#include <string>

namespace {

TEST(WindowFit, TabRowsThatKeepTheWindowOnTheScreen) {
    const struct {
        const char* what;
        int heightWithOneRow, rowHeight, available, rows;
    } cases[] = {
        {"room for exactly two more", 580, 26, 632, 3},
        {"a pixel short of the third", 580, 26, 631, 2},
        {"no room beyond one", 580, 26, 580, 1},
        {"too small even for one row", 580, 26, 400, 1},
        {"tall screen", 580, 26, 1024, 18},
        {"no row height known", 580, 0, 1024, 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(tabRowsThatFit(c.heightWithOneRow, c.rowHeight, c.available), c.rows) << c.what;
}

TEST(WindowFit, WindowsMoveTheLeastToLieWithinTheArea) {
    const struct {
        const char* what;
        int start, length, areaStart, areaLength, expected;
    } cases[] = {
        {"inside stays", 100, 500, 0, 1024, 100},
        {"past the end moves back", 700, 500, 0, 1024, 524},
        {"before the start moves on", -30, 500, 0, 1024, 0},
        {"area not at zero", 10, 500, 40, 1000, 40},
        {"longer than the area starts with it", 300, 1200, 0, 1024, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(startWithin(c.start, c.length, c.areaStart, c.areaLength), c.expected) << c.what;
}

} // namespace
