#include "help/help_pages.h"

#include <gtest/gtest.h>
#include <optional>
#include <sstream>
#include <string>
#include <utility>

namespace {

TEST(HelpPages, RepliesReadBackWholeOrNotAtAll) {
    HelpPages pages;
    pages.title = "T";
    pages.add("a.html", "<p>A</p>");
    pages.add("Pictures/b.png", std::string("\0\x89PNG", 5));
    pages.leaveOut("big.html", HelpPages::Unread::TooLarge);
    std::ostringstream out;
    pages.write(out);
    const std::string whole = out.str();
    const std::optional<HelpReply> back = decodeHelpReply(whole);
    ASSERT_TRUE(back && back->helpFile);
    EXPECT_EQ(back->pages.title, "T");
    EXPECT_EQ(back->pages.files(), pages.files());
    EXPECT_EQ(back->pages.leftOut("/BIG.html"), HelpPages::Unread::TooLarge);
    // Found as a link names it: any letter case, with or without the leading slash.
    EXPECT_EQ(*back->pages.find("/pictures/B.PNG"), std::string("\0\x89PNG", 5));
    EXPECT_EQ(back->pages.find("c.html"), nullptr);

    // Every cut, and whatever else a crashing or confused reader may send, is no reply.
    for (std::size_t size = 0; size < whole.size(); ++size)
        EXPECT_FALSE(decodeHelpReply(whole.substr(0, size))) << size;
    // The record of a.html: its kind, the name's length and the name, the length of its bytes.
    const std::size_t file = whole.find(std::string("F\x06\0\0\0a.html", 11));
    const std::pair<const char*, std::string> bad[] = {
        {"another header", "VELMORA-HELP 2\n" + whole.substr(15)},
        {"bytes after the end", whole + "x"},
        {"an unknown record", std::string(whole).replace(file, 1, "X")},
        {"a length past the bounds", std::string(whole).replace(file + 11, 4, "\xFF\xFF\xFF\x7F")},
        {"a NUL in a name", std::string(whole).replace(file + 5, 1, std::string(1, '\0'))},
    };
    for (const auto& [what, text] : bad)
        EXPECT_FALSE(decodeHelpReply(text)) << what;
    EXPECT_FALSE(pages.add("big.html", std::string(HelpPages::maxFileSize + 1, 'x')));
}

} // namespace
