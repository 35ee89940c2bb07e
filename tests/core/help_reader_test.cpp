#include "help/child_process.h"
#include "help/chm_archive.h"
#include "help/help_contents.h"
#include "help/help_file.h"
#include "help/help_index.h"
#include "help/help_pages.h"
#include "help/help_search.h"
#include "help/page_limits.h"
#include "help/page_style.h"
#include "temp_dir.h"

#include <gtest/gtest.h>
#include <random>
#include <sstream>
#include <string>
#include <sys/stat.h>
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

namespace {

std::string reply(const HelpPages& pages) {
    std::ostringstream out;
    pages.write(out);
    return out.str();
}

HelpPages samplePages() {
    HelpPages pages;
    pages.title = "T";
    pages.defaultTopic = "a.html";
    pages.indexFile = "i.hhk";
    pages.add("a.html", "<p>A</p>");
    pages.add("Pictures/b.png", std::string("\0\x89PNG", 5));
    return pages;
}

std::string damagedHelp(const TempDir& dir, std::size_t at, unsigned char byte) {
    std::string bytes = readBytes(VELMORA_HELP_CHM);
    bytes.at(at) = static_cast<char>(byte);
    const std::string path = dir.file("damaged.chm");
    writeBytes(path, bytes);
    return path;
}

} // namespace

TEST(HelpPages, RepliesReadBackWholeOrNotAtAll) {
    const std::string whole = reply(samplePages());
    const std::optional<HelpReply> back = decodeHelpReply(whole);
    ASSERT_TRUE(back && back->helpFile);
    EXPECT_EQ(back->pages.title, "T");
    EXPECT_EQ(back->pages.indexFile, "i.hhk");
    EXPECT_EQ(back->pages.files(), samplePages().files());
    // Found as a link names it: any letter case, with or without the leading slash.
    EXPECT_EQ(*back->pages.find("/pictures/B.PNG"), std::string("\0\x89PNG", 5));
    EXPECT_EQ(back->pages.find("c.html"), nullptr);
    std::ostringstream none;
    HelpPages::writeNoHelpFile(none);
    EXPECT_FALSE(decodeHelpReply(none.str())->helpFile);

    // Every cut, and whatever else a crashing or confused reader may send, is no reply.
    for (std::size_t size = 0; size < whole.size(); ++size)
        EXPECT_FALSE(decodeHelpReply(whole.substr(0, size))) << size;
    // The record of a.html: its kind, the name's length and the name, the length of its bytes.
    const std::size_t file = whole.find(std::string("F\x06\0\0\0a.html", 11));
    ASSERT_NE(file, std::string::npos);
    const std::pair<const char*, std::string> bad[] = {
        {"another header", "VELMORA-HELP 2\n" + whole.substr(15)},
        {"bytes after the end", whole + "x"},
        {"an unknown record", std::string(whole).replace(file, 1, "X")},
        {"a length past the bounds", std::string(whole).replace(file + 11, 4, "\xFF\xFF\xFF\x7F")},
        {"a NUL in a name", std::string(whole).replace(file + 5, 1, std::string(1, '\0'))},
    };
    for (const auto& [what, text] : bad)
        EXPECT_FALSE(decodeHelpReply(text)) << what;
    HelpPages full;
    EXPECT_FALSE(full.add("big.html", std::string(HelpPages::maxFileSize + 1, 'x')));
    EXPECT_FALSE(full.add("", "x"));
}

TEST(HelpFile, TheProgramReadsTheDeliveredHelp) {
    const HelpLoad load = loadHelpFile(VELMORA_HELP_CHM, VELMORA_PROGRAM);
    ASSERT_EQ(load.state, HelpLoad::State::Read);
    const HelpPages& pages = *load.pages;
    EXPECT_EQ(pages.title, "Velmora Help");
    EXPECT_EQ(pages.defaultTopic, "index.html");
    EXPECT_EQ(pages.contentsFile, "velmora.hhc");
    EXPECT_EQ(pages.indexFile, "velmora.hhk");
    for (const char* name :
         {"index.html", "window.html", "menus.html", "catalog.html", "formulas.html", "files.html",
          "commandline.html", "velmora.css", "velmora.hhc", "velmora.hhk"}) {
        ASSERT_TRUE(pages.find(name)) << name;
        EXPECT_EQ(*pages.find(name), readBytes(std::string(VELMORA_HELP_SOURCES) + "/" + name));
    }
}

TEST(HelpFile, MissingNoHelpAndDamagedAreToldApart) {
    TempDir dir;
    writeBytes(dir.file("text.chm"), "ITSF but not really a help file at all");
    ASSERT_EQ(mkfifo(dir.file("fifo.chm").c_str(), 0600), 0);
    const struct {
        const char* what;
        std::string path;
        std::string program;
        HelpLoad::State state;
    } rows[] = {
        {"missing", dir.file("missing.chm"), VELMORA_PROGRAM, HelpLoad::State::Missing},
        {"a folder", dir.path().string(), VELMORA_PROGRAM, HelpLoad::State::Missing},
        {"a FIFO, never opened", dir.file("fifo.chm"), VELMORA_PROGRAM, HelpLoad::State::Missing},
        {"no help file", dir.file("text.chm"), VELMORA_PROGRAM, HelpLoad::State::NoHelp},
        {"a reader that writes nothing", VELMORA_HELP_CHM, "/bin/true", HelpLoad::State::Damaged},
        {"no reader at all", VELMORA_HELP_CHM, dir.file("none"), HelpLoad::State::Damaged},
    };
    for (const auto& row : rows) {
        const HelpLoad load = loadHelpFile(row.path, row.program);
        EXPECT_EQ(load.state, row.state) << row.what;
        EXPECT_EQ(load.pages != nullptr, row.state == HelpLoad::State::Read) << row.what;
    }
    // The two faults of the CHM library that were found: a crash and a double free.
    EXPECT_EQ(loadHelpFile(damagedHelp(dir, 0x223e, 0x20), VELMORA_PROGRAM).state,
              HelpLoad::State::Damaged);
    EXPECT_EQ(loadHelpFile(damagedHelp(dir, 0x22af, 0xfb), VELMORA_PROGRAM).state,
              HelpLoad::State::Damaged);
}

TEST(HelpFile, AChildIsStoppedAtItsBounds) {
    using Ending = ChildOutput::Ending;
    const struct {
        const char* script;
        Ending ending;
    } rows[] = {
        {"printf done; exit 3", Ending::Exited},
        {"kill -SEGV $$", Ending::Killed},
        {"exec sleep 30", Ending::TimedOut},
        {"exec yes", Ending::TooMuch},
    };
    for (const auto& row : rows) {
        const ChildOutput child =
            runChild("/bin/sh", {"-c", row.script}, std::chrono::milliseconds(300), 4096);
        EXPECT_EQ(child.ending, row.ending) << row.script;
        if (row.ending == Ending::Exited) {
            EXPECT_EQ(child.output, "done");
            EXPECT_EQ(child.status, 3);
        }
    }
    EXPECT_EQ(runChild("/nonexistent/reader", {}, std::chrono::milliseconds(300), 1).ending,
              Ending::NotStarted);
}

TEST(HelpFile, DamagedCopiesGiveThePagesOrDamaged) {
    // Single bytes changed at random, the same each run; the program lives through them all.
    std::mt19937 random(20261208);
    const std::string original = readBytes(VELMORA_HELP_CHM);
    TempDir dir;
    int read = 0;
    for (int i = 0; i < 300; ++i) {
        std::string bytes = original;
        const std::size_t at = random() % bytes.size();
        bytes[at] = static_cast<char>(bytes[at] ^ (1 + random() % 255));
        writeBytes(dir.file("copy.chm"), bytes);
        const HelpLoad load = loadHelpFile(dir.file("copy.chm"), VELMORA_PROGRAM);
        read += load.state == HelpLoad::State::Read;
        // A change in the file's headers may make it no help file at all, as any other file.
        if (load.state != HelpLoad::State::Damaged && load.state != HelpLoad::State::Read) {
            EXPECT_TRUE(load.state == HelpLoad::State::NoHelp && at < 0x100) << at;
        }
    }
    EXPECT_GT(read, 0);
}

namespace {

std::string repeated(std::string_view text, int count) {
    std::string out;
    for (int i = 0; i < count; ++i)
        out += text;
    return out;
}

std::string source(const std::string& name) {
    return readBytes(std::string(VELMORA_HELP_SOURCES) + "/" + name);
}

const char* const helpPages[] = {"index.html",    "window.html", "menus.html",      "catalog.html",
                                 "formulas.html", "files.html",  "commandline.html"};

} // namespace

TEST(HelpPageLimits, PagesTooDeepOrTooLargeAreNotLaidOut) {
    for (const char* page : helpPages)
        EXPECT_TRUE(pageWithinLimits(source(page))) << page;
    const struct {
        const char* what;
        std::string page;
        bool within;
    } rows[] = {
        {"3,000 nested tables", repeated("<table><tr><td>", 3000), false},
        {"tables nested to the limit", repeated("<table><tr><td>", maxTableNesting), true},
        {"one table more", repeated("<table><tr><td>", maxTableNesting + 1), false},
        {"tables closed again", repeated("<table><tr><td>x</td></tr></table>", 3000), true},
        {"elements left open", repeated("<div>", maxPageNesting + 1), false},
        {"end tags that close what was left open inside",
         repeated("<div><b><i></div>", maxPageNesting), true},
        {"end tags that may be left out", repeated("<ul><li><p>x", 40) + repeated("</ul>", 40),
         true},
        {"elements in comments and style sheets",
         "<style>" + repeated("<div>", 100) + "</style><!--" + repeated("<div>", 100) + "-->",
         true},
        {"too large", std::string(maxPageSize + 1, 'x'), false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(pageWithinLimits(row.page), row.within) << row.what;
}

TEST(HelpPageStyle, ColoursFollowTheTheme) {
    EXPECT_NEAR(contrastRatio(Rgb{0, 0, 0}, Rgb{255, 255, 255}), 21.0, 1e-9);
    EXPECT_NEAR(contrastRatio(Rgb{0x77, 0x77, 0x77}, Rgb{255, 255, 255}), 4.48, 0.01);
    EXPECT_EQ(parseCssColour(" #12466B"), (Rgb{0x12, 0x46, 0x6b}));
    EXPECT_EQ(parseCssColour("#fa0"), (Rgb{0xff, 0xaa, 0x00}));
    EXPECT_EQ(parseCssColour("rgb(1, 2,3)"), (Rgb{1, 2, 3}));
    EXPECT_EQ(parseCssColour("white"), (Rgb{255, 255, 255}));
    EXPECT_EQ(parseCssColour("#12466"), std::nullopt);

    const PageColours dark{{0xee, 0xee, 0xee}, {0x1e, 0x1e, 0x1e}, {0x8a, 0xb4, 0xf8}};
    const PageColours light{{0, 0, 0}, {255, 255, 255}, {0, 0, 255}};
    const std::string css = source("velmora.css");
    const std::string darkCss = fitStyleSheet(css, dark);
    // The delivered colours are all for a light background: in a dark theme none is left but
    // the theme's own, and the layout stays.
    EXPECT_EQ(darkCss.find("color: #12466b"), std::string::npos);
    EXPECT_EQ(darkCss.find("background: #f1f3f5"), std::string::npos);
    EXPECT_NE(darkCss.find("color: #eeeeee"), std::string::npos);
    EXPECT_NE(darkCss.find("border: 1px solid #c6ccd2"), std::string::npos);
    EXPECT_NE(darkCss.find("max-width: 52em"), std::string::npos);
    EXPECT_EQ(fitStyleSheet(css, light), css);
    EXPECT_EQ(fitStyleSheet("a{color:lightyellow;background:url(x.png) teal} /* x */", light),
              "a{color: #000000;} /* x */");
    EXPECT_EQ(themeStyleSheet(dark),
              "\nbody { color: #eeeeee; background-color: #1e1e1e; }\na { color: #8ab4f8; }\n");
}

TEST(HelpIndexAndSearch, KeywordsAndWordsLeadToPages) {
    const std::vector<IndexEntry> index = indexKeywords(parseContents(source("velmora.hhk")));
    ASSERT_GE(index.size(), 60u);
    EXPECT_EQ(index.front().keyword, "About box");
    EXPECT_EQ(index.front().local, "menus.html#about");
    const struct {
        const char* typed;
        const char* keyword;
    } typedRows[] = {
        {"conv.i", "conv.ini"},    {"CHECK", "--check"}, {"checki", "checking conv.txt"},
        {"tabs", "category tabs"}, {"xyz", ""},          {"  ", ""}};
    for (const auto& row : typedRows) {
        const std::size_t found = findKeyword(index, row.typed);
        EXPECT_EQ(found == std::string::npos ? "" : index.at(found).keyword, row.keyword)
            << row.typed;
    }
    // A keyword below another carries both.
    EXPECT_EQ(indexKeywords(parseContents(
                  R"(<OBJECT type="text/sitemap"><param name="Name" value="Keys">
</OBJECT><UL><OBJECT type="text/sitemap"><param name="Name" value="Escape">
<param name="Local" value="k.html"></OBJECT></UL>)"))[0]
                  .keyword,
              "Keys, Escape");

    HelpSearch search;
    for (const char* page : helpPages)
        search.addPage(page, source(page));
    const auto titles = [&](const char* query) {
        std::vector<std::string> out;
        for (const HelpSearch::Hit& hit : search.find(query))
            out.push_back(hit.title);
        return out;
    };
    EXPECT_EQ(titles("exclusive or"), std::vector<std::string>{"The formula language"});
    EXPECT_EQ(titles("PRECED").front(), "The formula language");
    EXPECT_EQ(titles("command").front(), "The command line"); // its title first
    EXPECT_TRUE(titles("zzyzx").empty());
    EXPECT_TRUE(titles("").empty());
    // What a reader sees: no tags, no style sheet, references decoded.
    const PageText text = pageText("<head><title> A &amp;\n B </title><style>p{x:y}</style>"
                                   "</head><p>one<br>two&lt;</p>");
    EXPECT_EQ(text.title, "A & B");
    EXPECT_EQ(text.text, "\none\ntwo<\n");
}
