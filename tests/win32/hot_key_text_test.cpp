#include "win32/common/hot_key_text.h"

#include <gtest/gtest.h>

namespace {

TEST(HotKeyText, ReadsWhatTheMenuNamesAndRefusesTheRest) {
    const struct {
        const char* text;
        UINT modifiers; // 0: refused
        UINT key;
        const char* shown;
    } rows[] = {
        {"Ctrl+Alt+F8", MOD_CONTROL | MOD_ALT, VK_F8, "Ctrl+Alt+F8"},
        {" alt + CTRL + f8 ", MOD_CONTROL | MOD_ALT, VK_F8, "Ctrl+Alt+F8"},
        {"Win+Shift+z", MOD_WIN | MOD_SHIFT, 'Z', "Shift+Win+Z"},
        {"Ctrl+0", MOD_CONTROL, '0', "Ctrl+0"},
        {"Alt+F1", MOD_ALT, VK_F1, "Alt+F1"},
        {"Ctrl+F24", MOD_CONTROL, VK_F24, "Ctrl+F24"},
        {"Ctrl+F25", 0, 0, ""},
        {"Ctrl+F0", 0, 0, ""},
        {"Ctrl+F08", 0, 0, ""},
        {"Ctrl+AB", 0, 0, ""},
        {"Ctrl+Home", 0, 0, ""},
        {"Shift+A", 0, 0, ""}, // types a capital
        {"F8", 0, 0, ""},
        {"Ctrl+Ctrl+A", 0, 0, ""},
        {"Ctrl+Alt", 0, 0, ""},
        {"Ctrl+Alt+", 0, 0, ""},
        {"F8+Ctrl", 0, 0, ""},
        {"", 0, 0, ""},
    };
    for (const auto& row : rows) {
        const std::optional<HotKey> read = readHotKey(row.text);
        ASSERT_EQ(read.has_value(), row.modifiers != 0) << row.text;
        if (!read) continue;
        EXPECT_EQ(*read, (HotKey{row.modifiers, row.key})) << row.text;
        EXPECT_EQ(hotKeyText(*read), row.shown) << row.text;
    }
    // Keys the text cannot name, or that would take typing, have none.
    EXPECT_EQ(hotKeyText({MOD_CONTROL, VK_HOME}), "");
    EXPECT_EQ(hotKeyText({MOD_SHIFT, 'A'}), "");
}

} // namespace
