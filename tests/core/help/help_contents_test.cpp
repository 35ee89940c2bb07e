#include "help/help_contents.h"
#include "help_sources.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

TEST(HelpContents, NestedListsAreChildrenOfTheEntryBefore) {
    EXPECT_EQ(describeContents(R"(<HTML><BODY><OBJECT type="text/site properties">
<param name="Window Styles" value="0x800025"></OBJECT>
<UL>
<LI><OBJECT type="text/sitemap"><param name="Name" value="Top"><param name="Local" value="a.html"></OBJECT>
<UL>
  <LI><OBJECT type="text/sitemap"><param name="Name" value="Inner"><param name="Local" value="a.html#x"></OBJECT>
  <UL><LI><OBJECT type="text/sitemap"><param name="Name" value="Deep"><param name="Local" value="d.html"></OBJECT></UL>
</UL>
<LI><OBJECT type="text/sitemap"><param name="Name" value="Next"><param name="Local" value="b.html"></OBJECT>
</UL></BODY></HTML>)"),
              (Lines{"Top>a.html", "  Inner>a.html#x", "    Deep>d.html", "Next>b.html"}));
}

TEST(HelpContents, ToleratesWhatCompilersAccept) {
    const struct {
        const char* what;
        const char* sitemap;
        Lines entries;
    } cases[] = {
        {"any letter case, unquoted and single-quoted values",
         "<ul><li><object TYPE=text/sitemap><PARAM NAME='name' VALUE='A b'><param name=local "
         "value=x.html></object></ul>",
         {"A b>x.html"}},
        {"character references",
         R"(<OBJECT type="text/sitemap"><param name="Name" value="Tom &amp; Jerry &#233;&#x41;&bogus;"></OBJECT>)",
         {"Tom & Jerry \xC3\xA9"
          "A&bogus;>"}},
        {"a heading without a page",
         R"(<UL><LI><OBJECT type="text/sitemap"><param name="Name" value="Heading"></OBJECT><UL><LI><OBJECT type="text/sitemap"><param name="Local" value="p.html"></OBJECT></UL></UL>)",
         {"Heading>", "  >p.html"}},
        {"comments, other objects and an entry without either parameter",
         R"(<!-- <OBJECT type="text/sitemap"><param name="Name" value="No"></OBJECT> --><OBJECT type="text/x"><param name="Name" value="Other"></OBJECT><OBJECT type="text/sitemap"></OBJECT>)",
         {}},
        {"more end tags than lists, and a list left open",
         R"(</UL></UL><UL><LI><OBJECT type="text/sitemap"><param name="Name" value="A"></OBJECT><UL>)",
         {"A>"}},
        {"a tag cut off at the end",
         R"(<OBJECT type="text/sitemap"><param name="Name" value="A"></OBJECT><OBJECT type="text/sitemap"><param name="Name" value="B)",
         {"A>"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(describeContents(c.sitemap), c.entries) << c.what;
}

TEST(HelpContents, NestingStopsAtTheDepthLimit) {
    std::string sitemap;
    constexpr int levels = 20000;
    for (int i = 0; i < levels; ++i)
        sitemap += "<UL><LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"" +
                   std::to_string(i) + "\"></OBJECT>";
    std::vector<ContentsEntry> entries = parseContents(sitemap);
    std::size_t depth = 0;
    std::size_t count = 0;
    for (const std::vector<ContentsEntry>* level = &entries; !level->empty();
         level = &level->back().children) {
        ++depth;
        count += level->size();
    }
    EXPECT_EQ(depth, maxContentsDepth);
    EXPECT_EQ(count, std::size_t(levels));
    EXPECT_EQ(entries.front().name, "0");
}

} // namespace
