#include "help/chm_archive.h"
#include "help/help_contents.h"
#include "temp_dir.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// "name>local" for each entry, children indented by two blanks per level.
void describe(const std::vector<ContentsEntry>& entries, std::vector<std::string>& out,
              const std::string& indent = {}) {
    for (const ContentsEntry& entry : entries) {
        out.push_back(indent + entry.name + ">" + entry.local);
        describe(entry.children, out, indent + "  ");
    }
}

std::vector<std::string> describe(std::string_view sitemap) {
    std::vector<std::string> out;
    describe(parseContents(sitemap), out);
    return out;
}

using Lines = std::vector<std::string>;

} // namespace

TEST(HelpContents, NestedListsAreChildrenOfTheEntryBefore) {
    EXPECT_EQ(describe(R"(<HTML><BODY><OBJECT type="text/site properties">
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
        EXPECT_EQ(describe(c.sitemap), c.entries) << c.what;
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

TEST(ChmArchive, ReadsTheDeliveredHelp) {
    const std::unique_ptr<ChmArchive> archive = ChmArchive::open(VELMORA_HELP_CHM);
    ASSERT_TRUE(archive);
    EXPECT_EQ(archive->title(), "Velmora Help");
    EXPECT_EQ(archive->defaultTopic(), "index.html");
    EXPECT_EQ(archive->contentsFile(), "velmora.hhc");
    // Packed pages equal their sources, with or without the leading slash.
    for (const char* name : {"index.html", "/velmora.css", "velmora.hhc"}) {
        const std::string file = name[0] == '/' ? name + 1 : name;
        EXPECT_EQ(archive->read(name), readBytes(std::string(VELMORA_HELP_SOURCES) + "/" + file))
            << name;
    }
    EXPECT_TRUE(archive->contains("window.html"));
    EXPECT_FALSE(archive->contains("missing.html"));
    EXPECT_EQ(archive->read("missing.html"), std::nullopt);
    EXPECT_EQ(archive->read(std::string(600, 'a')), std::nullopt);

    std::vector<std::string> tree;
    describe(parseContents(*archive->read(archive->contentsFile())), tree);
    ASSERT_GE(tree.size(), 6u);
    EXPECT_EQ(tree[0], "Velmora Help>index.html");
    EXPECT_EQ(tree[1], "The converter window>window.html");
    EXPECT_EQ(tree[2], "  Category tabs>window.html#tabs");
}

TEST(ChmArchive, AnythingButAHelpFileIsNone) {
    TempDir dir;
    writeBytes(dir.file("empty.chm"), "");
    writeBytes(dir.file("text.chm"), "ITSF but not really a help file at all");
    EXPECT_FALSE(ChmArchive::open(dir.file("missing.chm")));
    EXPECT_FALSE(ChmArchive::open(dir.file("empty.chm")));
    EXPECT_FALSE(ChmArchive::open(dir.file("text.chm")));
    EXPECT_FALSE(ChmArchive::open(dir.path().string()));
}
