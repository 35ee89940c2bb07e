#include "converter/window_layout.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// Both windows move their controls by these steps: the sums must come back to the template.
TEST(WindowLayout, ExtraSpaceSpreadsWidthsThenLiftsRowsAndFoldsBackWhole) {
    ExtraSpaceLayout layout;
    std::map<int, ControlChange> moved;
    const auto apply = [&moved](const std::vector<ControlChange>& changes) {
        for (const ControlChange& c : changes) {
            ControlChange& m = moved[c.id];
            m = {c.id, m.dx + c.dx, m.dy + c.dy, m.dWidth + c.dWidth, m.dHeight + c.dHeight};
        }
        return changes.size();
    };
    EXPECT_TRUE(layout.folded());
    apply(layout.spread(41, 20));
    apply(layout.liftRows(2, 26));
    EXPECT_EQ(apply(layout.spread(41, 20)), 0U) << "the same size moves nothing";
    const ControlChange from = moved[IDC_FROM_LIST], to = moved[IDC_TO_LIST];
    EXPECT_EQ(std::vector({from.dy, from.dWidth, from.dHeight, to.dx, to.dWidth}),
              std::vector({-52, 20, 72, 20, 21}));
    EXPECT_EQ(moved[IDC_PICTURE].dx, 41);
    layout.scale(144, 96);
    EXPECT_EQ(layout.current().lift, 78);
    layout.scale(96, 144);
    apply(layout.fold());
    EXPECT_TRUE(layout.folded());
    for (const auto& [id, m] : moved)
        EXPECT_EQ(std::vector({m.dx, m.dy, m.dWidth, m.dHeight}), std::vector({0, 0, 0, 0})) << id;
}

} // namespace
