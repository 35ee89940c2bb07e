#include "colour/colour_contrast.h"
#include "help_sources.h"
#include "qt/help/page_style.h"

#include <gtest/gtest.h>
#include <string>

namespace {

TEST(HelpPageStyle, ColoursFollowTheTheme) {
    EXPECT_NEAR(contrastRatio(Rgb{0, 0, 0}, Rgb{255, 255, 255}), 21.0, 1e-9);
    EXPECT_NEAR(contrastRatio(Rgb{0x77, 0x77, 0x77}, Rgb{255, 255, 255}), 4.48, 0.01);
    EXPECT_EQ(parseCssColour(" #12466B"), (Rgb{0x12, 0x46, 0x6b}));
    EXPECT_EQ(parseCssColour("rgb(1, 2,3)"), (Rgb{1, 2, 3}));
    EXPECT_EQ(parseCssColour("#fa0"), (Rgb{0xff, 0xaa, 0x00}));

    const PageColours dark{{0xee, 0xee, 0xee}, {0x1e, 0x1e, 0x1e}, {0x8a, 0xb4, 0xf8}};
    const PageColours light{{0, 0, 0}, {255, 255, 255}, {0, 0, 255}};
    const std::string css = helpSource("velmora.css");
    // The delivered colours are all for a light background: in a dark theme the text takes the
    // theme's, the backgrounds go, and the layout stays.
    const std::string darkCss = fitStyleSheet(css, dark);
    EXPECT_EQ(darkCss.find("color: #12466b"), std::string::npos);
    EXPECT_EQ(darkCss.find("background: #f1f3f5"), std::string::npos);
    EXPECT_NE(darkCss.find("color: #eeeeee"), std::string::npos);
    EXPECT_NE(darkCss.find("border: 1px solid #c6ccd2"), std::string::npos);
    EXPECT_EQ(fitStyleSheet(css, light), css);
    EXPECT_EQ(fitStyleSheet("a{color:lightyellow;background:url(x.png) teal} /* x */", light),
              "a{color: #000000;} /* x */");
    // Colours the filter cannot judge are taken for unreadable; lengths are no colours.
    EXPECT_EQ(fitStyleSheet("a{color:hsl(0,0%,0%);background:hsla(0,0%,0%,1) 0 50%}", dark),
              "a{color: #eeeeee;}");
    EXPECT_EQ(fitStyleSheet("a{color:black!important}", dark), "a{color: #eeeeee}");
}

} // namespace
