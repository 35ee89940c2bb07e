#include "help/child_process.h"
#include "help/chm_archive.h"
#include "help/help_contents.h"
#include "help/help_file.h"
#include "help/help_index.h"
#include "help/help_pages.h"
#include "help/help_search.h"
#include "help/page_encoding.h"
#include "help/page_limits.h"
#include "help/page_style.h"
#include "help/sha256.h"
#include "temp_dir.h"

#include <cstdlib>
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
    EXPECT_TRUE(archive->tablesAgree());
    EXPECT_EQ(archive->fetch("index.html", 100).status, ChmArchive::Read::Status::TooLarge);

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

std::string source(const std::string& name) {
    return readBytes(std::string(VELMORA_HELP_SOURCES) + "/" + name);
}

std::string repeated(std::string_view text, int count) {
    std::string out;
    for (int i = 0; i < count; ++i)
        out += text;
    return out;
}

const char* const helpPages[] = {"index.html",    "window.html", "menus.html",      "catalog.html",
                                 "formulas.html", "files.html",  "commandline.html"};

} // namespace

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

TEST(HelpFile, MissingNoHelpAndDamagedAreToldApart) {
    const HelpLoad delivered = loadHelpFile(VELMORA_HELP_CHM, VELMORA_PROGRAM);
    ASSERT_EQ(delivered.state, HelpLoad::State::Read);
    EXPECT_EQ(delivered.pages->indexFile, "velmora.hhk");
    for (const char* name : {"window.html", "velmora.css", "velmora.hhc", "velmora.hhk"})
        EXPECT_EQ(*delivered.pages->find(name), source(name)) << name;

    TempDir dir;
    writeBytes(dir.file("text.chm"), "ITSF but not really a help file at all");
    ASSERT_EQ(mkfifo(dir.file("fifo.chm").c_str(), 0600), 0);
    std::string bytes = readBytes(VELMORA_HELP_CHM);
    // Two bytes that make the CHM library crash and corrupt its heap. Both lie in the LZX reset
    // table of the delivered file; which entry a flip must hit to harm moves with the pages.
    bytes.at(0x223e) = '\x20';
    writeBytes(dir.file("crash.chm"), bytes);
    bytes = readBytes(VELMORA_HELP_CHM);
    bytes.at(0x22b7) = '\xfb';
    writeBytes(dir.file("double-free.chm"), bytes);
    const struct {
        std::string path;
        std::string program;
        HelpLoad::State state;
    } rows[] = {
        {dir.file("missing.chm"), VELMORA_PROGRAM, HelpLoad::State::Missing},
        {dir.path().string(), VELMORA_PROGRAM, HelpLoad::State::Missing},
        {dir.file("fifo.chm"), VELMORA_PROGRAM, HelpLoad::State::Missing}, // never opened
        {dir.file("text.chm"), VELMORA_PROGRAM, HelpLoad::State::NoHelp},
        {dir.file("crash.chm"), VELMORA_PROGRAM, HelpLoad::State::Damaged},
        {dir.file("double-free.chm"), VELMORA_PROGRAM, HelpLoad::State::Damaged},
        {VELMORA_HELP_CHM, "/bin/true", HelpLoad::State::Damaged},      // writes nothing
        {VELMORA_HELP_CHM, dir.file("none"), HelpLoad::State::NotRead}, // cannot start
    };
    for (const auto& row : rows) {
        const HelpLoad load = loadHelpFile(row.path, row.program);
        EXPECT_EQ(load.state, row.state) << row.path << " " << row.program;
        EXPECT_FALSE(load.pages) << row.path;
    }
}

TEST(HelpFile, AChildIsStoppedAtItsBounds) {
    using Ending = ChildOutput::Ending;
    const std::pair<const char*, Ending> rows[] = {{"printf done; exit 3", Ending::Exited},
                                                   {"kill -SEGV $$", Ending::Killed},
                                                   {"exec sleep 30", Ending::TimedOut},
                                                   {"exec yes", Ending::TooMuch}};
    for (const auto& [script, ending] : rows)
        EXPECT_EQ(runChild("/bin/sh", {"-c", script}, std::chrono::milliseconds(300), 4096).ending,
                  ending)
            << script;
    const ChildOutput done =
        runChild("/bin/sh", {"-c", "printf done; exit 3"}, std::chrono::milliseconds(300), 4096);
    EXPECT_EQ(done.output + std::to_string(done.status), "done3");
}

TEST(HelpFile, DamagedCopiesGiveThePagesOrDamaged) {
    // Single bytes changed at random, the same each run, and a reset table entry pointing past
    // the content; the program lives through them all.
    std::mt19937 random(20261208);
    const std::string original = readBytes(VELMORA_HELP_CHM);
    TempDir dir;
    int read = 0;
    for (int i = 0; i <= 300; ++i) {
        std::string bytes = original;
        const std::size_t at = i == 0 ? 0x22af : random() % bytes.size();
        bytes[at] = static_cast<char>(i == 0 ? 0xfb : bytes[at] ^ (1 + random() % 255));
        writeBytes(dir.file("copy.chm"), bytes);
        const HelpLoad load = loadHelpFile(dir.file("copy.chm"), VELMORA_PROGRAM);
        // A change in the file's headers may make it no help file at all, as any other file.
        EXPECT_TRUE(load.state == HelpLoad::State::Read || load.state == HelpLoad::State::Damaged ||
                    (load.state == HelpLoad::State::NoHelp && at < 0x100))
            << at;
        if (load.state != HelpLoad::State::Read) continue;
        ++read;
        // Every page is the one compiled, or named as damaged.
        for (const char* page : helpPages) {
            const std::string* got = load.pages->find(page);
            EXPECT_TRUE(got ? *got == source(page)
                            : load.pages->leftOut(page) == HelpPages::Unread::Damaged)
                << page << " with byte " << at << " changed";
        }
    }
    EXPECT_GT(read, 0);
}

TEST(HelpPageText, DecodesWholeAsItDeclares) {
    const std::pair<std::string, bool> rows[] = {
        {"<p>caf\xC3\xA9 \xF0\x9F\x98\x80\t\r\n</p>", true},
        {"<p>caf\xC3</p>", false},          // a sequence cut short
        {"<p>\xC0\xAF</p>", false},         // overlong
        {"<p>\xED\xA0\x80</p>", false},     // a surrogate
        {"<p>\xF4\x90\x80\x80</p>", false}, // past U+10FFFF
        {std::string("<p>a\0b</p>", 9), false},
        {"<p>\x1B[2J</p>", false},
        {"\xEF\xBB\xBF<p>\xE2\x82\xAC</p>", true},
        {std::string("\xFF\xFE<\0p\0=\xD8\0\xDE", 10), true}, // a pair of halves
        {std::string("\xFF\xFE<\0p\0=\xD8", 8), false},
        {std::string("\xFE\xFF\xDC\0", 4), false},
        {"<meta charset=\"windows-1252\"><p>caf\xE9</p>", true},
        {"<meta http-equiv=Content-Type content='text/html; CHARSET=ISO-8859-1'>\x01", false},
    };
    for (const auto& [text, whole] : rows)
        EXPECT_EQ(textDecodesWhole(text), whole) << text;
    EXPECT_TRUE(isTextFile("A/B.HTM") && isTextFile("x.hhk") && !isTextFile("p.png"));
    // Published test vectors: one block, and the padding spilling into a second.
    EXPECT_EQ(sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(sha256Hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
}

TEST(HelpFile, WithoutDigestsPagesThatDoNotReadWholeAreNamed) {
    TempDir dir;
    writeBytes(dir.file("good.html"), "<p>caf\xC3\xA9</p>");
    writeBytes(dir.file("bad.html"), "<p>caf\xC3(</p>");
    writeBytes(dir.file("t.hhp"), "[OPTIONS]\nCompiled file=t.chm\nDefault topic=gone.html\n"
                                  "\n[FILES]\ngood.html\nbad.html\n");
    const std::string compile = "cd '" + dir.path().string() +
                                "' && '" VELMORA_CHMCMD "' --no-html-scan t.hhp >/dev/null 2>&1";
    ASSERT_EQ(std::system(compile.c_str()), 0);
    const HelpLoad load = loadHelpFile(dir.file("t.chm"), VELMORA_PROGRAM);
    ASSERT_EQ(load.state, HelpLoad::State::Read);
    EXPECT_EQ(*load.pages->find("good.html"), readBytes(dir.file("good.html")));
    EXPECT_EQ(load.pages->find("bad.html"), nullptr);
    // One that does not decode as UTF-8, and the start page the file lacks.
    EXPECT_EQ(load.pages->leftOut("bad.html"), HelpPages::Unread::Damaged);
    EXPECT_EQ(load.pages->leftOut("gone.html"), HelpPages::Unread::Damaged);
    EXPECT_EQ(load.pages->leftOut("good.html"), std::nullopt);
}

TEST(HelpPageLimits, PagesTooDeepOrTooLargeAreNotLaidOut) {
    for (const char* page : helpPages)
        EXPECT_TRUE(pageWithinLimits(source(page))) << page;
    const std::string flat = repeated("<b>x</b>", 1000);
    const int styleRules = static_cast<int>((maxStyleWork - 1002) / 2000) - 1;
    const std::pair<std::string, bool> rows[] = {
        {repeated("<table><tr><td>", 3000), false},
        {repeated("<table><tr><td>", maxTableNesting), true},
        {repeated("<table><tr><td>", maxTableNesting + 1), false},
        {repeated("<table><tr><td>x</td></tr></table>", maxPageElements / 3), true},
        {repeated("<div>", maxPageNesting + 1), false},
        // End tags close what was left open inside; some end tags may be left out.
        {repeated("<div><b><i></div>", maxPageNesting), true},
        {repeated("<ul><li><p>x", 40) + repeated("</ul>", 40), true},
        // Tags are read as the toolkit reads them: it knows no raw text, skips blanks after "<",
        // takes quoted names and decodes references in them.
        {"<style>" + repeated("<div>", maxPageNesting) + "</style>", false},
        {"<!--" + repeated("<div>", 99) + "-->< !--" + repeated("<div>", 99) + "-->", true},
        {"<textarea>" + repeated("<table><tr><td>", maxTableNesting + 1), false},
        {repeated("< table><tr><td>", maxTableNesting + 1), false},
        {repeated("<\xC2\xA0table><tr><td>", maxTableNesting + 1), false},
        {repeated("<t&#97;ble><tr><td>", maxTableNesting + 1), false},
        {repeated("<\"table\"><tr><td>", maxTableNesting + 1), false},
        {repeated("<table /x='>'><tr><td>", 99), true}, // closed where the toolkit closes it
        // Every element is open until its end tag but those the toolkit holds empty, whether
        // HTML has it void or the toolkit knows it at all.
        {repeated("<embed>", maxPageNesting + 1), false},
        {repeated("<?xml>", maxPageNesting + 1), false},
        {repeated("<img><br/><hr><meta><source/>", maxPagePictures), true},
        // A p leaves the inline elements it stands in for a p that holds them, but a p in an li
        // or an li in a p is a level; a cell or row goes to the nearest row or table.
        {repeated("<p><b>x", 999), true},
        {repeated("<li><p>", maxPageNesting), false},
        {repeated("<dd><dt><td><th><tr><caption>", maxPageElements / 8), true},
        // An end tag named as the empty element just before opens that element's parent again.
        {repeated("<div><br></div></br>", maxPageNesting + 1), false},
        {repeated("<div><br>x</div></br>", 999), true},
        {repeated("<\xE2\x84\xAA>x</k>", 999), true}, // as the toolkit lowers names
        {"<b>x</b\xC3\xA9>", false},
        {std::string(maxPageSize + 1, 'x'), false},
        // Budgets, each at it and just past it: elements the toolkit makes, lines (each one a
        // paragraph where preformatted), pictures.
        {repeated("<b>x</b>", maxPageElements), true},
        {repeated("<b>x</b>", maxPageElements + 1), false},
        {"<pre>" + repeated("x\n", maxPageLines), true},
        {"<pre>" + repeated("x\n", maxPageLines / 2) + repeated("x&#8233;", maxPageLines / 2 + 1),
         false},
        {repeated("<img>", maxPagePictures), true},
        {repeated("<img>", maxPagePictures + 1), false},
        // Table cells: rows times columns, places left empty or spanned included, those of a
        // table inside another twice.
        {"<table><tr>" + repeated("<td>", maxTableCells), true},
        {"<table><tr><td colspan=40>" + repeated("<tr><td>", maxTableCells / 40), false},
        {"<table><tr><td rowspan=9><td colspan=" + std::to_string(maxTableCells / 2) + "><tr><td>",
         false},
        {"<table><tr><td><table><tr>" + repeated("<td>", maxTableCells / 2 - 1), true},
        {"<table><tr><td><table><tr>" + repeated("<td>", maxTableCells / 2), false},
        // A table in a table part but in no cell is laid out where the last cell left off.
        {"<table><tr><td>a" + repeated("<tbody><td>b</tbody><td>c", 2), false},
        // Style work: here 2 for each selector tried on 1000 elements, and 1 for the sheet tried
        // on all 1002; a selector naming an ancestor walks the chain above every element.
        {"<style>" + repeated("b,", styleRules) + "b{}</style>" + flat, true},
        {"<style>" + repeated("b,", styleRules + 1) + "b{}</style>" + flat, false},
        {repeated("<b>", 127) + flat, true},
        {"<style>q *{}</style>" + repeated("<b>", 127) + flat, false},
        {"<style>p + b{}</style>", false},
        {"<style>/*" + std::string(maxStyleSheetSize / 2 - 4, ' ') + "*/</x></x>", true},
        {"<style>/*" + std::string(maxStyleSheetSize / 2, ' ') + "*/</x></x></x>", false},
    };
    for (const auto& [page, within] : rows)
        EXPECT_EQ(pageWithinLimits(page), within) << page.substr(0, 40);
}

TEST(HelpPageStyle, ColoursFollowTheTheme) {
    EXPECT_NEAR(contrastRatio(Rgb{0, 0, 0}, Rgb{255, 255, 255}), 21.0, 1e-9);
    EXPECT_NEAR(contrastRatio(Rgb{0x77, 0x77, 0x77}, Rgb{255, 255, 255}), 4.48, 0.01);
    EXPECT_EQ(parseCssColour(" #12466B"), (Rgb{0x12, 0x46, 0x6b}));
    EXPECT_EQ(parseCssColour("rgb(1, 2,3)"), (Rgb{1, 2, 3}));
    EXPECT_EQ(parseCssColour("#fa0"), (Rgb{0xff, 0xaa, 0x00}));

    const PageColours dark{{0xee, 0xee, 0xee}, {0x1e, 0x1e, 0x1e}, {0x8a, 0xb4, 0xf8}};
    const PageColours light{{0, 0, 0}, {255, 255, 255}, {0, 0, 255}};
    const std::string css = source("velmora.css");
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

TEST(HelpIndexAndSearch, KeywordsAndWordsLeadToPages) {
    const std::vector<IndexEntry> index = indexKeywords(parseContents(source("velmora.hhk")));
    EXPECT_EQ(index.front().keyword + ">" + index.front().local, "About box>menus.html#about");
    const std::pair<const char*, const char*> typed[] = {
        {"conv.i", "conv.ini"},    {"CHECK", "--check"}, {"checki", "checking conv.txt"},
        {"tabs", "category tabs"}, {"xyz", ""},          {"  ", ""}};
    for (const auto& [text, keyword] : typed) {
        const std::size_t found = findKeyword(index, text);
        EXPECT_EQ(found == std::string::npos ? "" : index.at(found).keyword, keyword) << text;
    }
    // The index keeps what answers the text, every keyword for none.
    const auto shown = [&](const char* text) {
        const std::vector<bool> kept = keywordsShown(index, text);
        return std::size_t(std::count(kept.begin(), kept.end(), true));
    };
    EXPECT_EQ(shown("conv.i") * 1000 + shown("xyz") * 100, 1000u);
    EXPECT_EQ(shown("  "), index.size());
    // A keyword below another carries both.
    EXPECT_EQ(indexKeywords(parseContents("<OBJECT type=text/sitemap><param name=Name value=Keys>"
                                          "</OBJECT><UL><OBJECT type=text/sitemap><param "
                                          "name=Name value=Esc><param name=Local value=k.html>"
                                          "</OBJECT></UL>"))[0]
                  .keyword,
              "Keys, Esc");
    // A damaged index cannot make keywords without end: names, keywords and the whole are cut.
    std::string hhk;
    const std::string entry = "<OBJECT type=text/sitemap><param name=Local value=k.html><param "
                              "name=Name value=";
    for (int i = 0; i < 30; ++i)
        hhk += entry + std::string(100000, 'n') + "></OBJECT><UL>";
    const std::vector<IndexEntry> huge =
        indexKeywords(parseContents(hhk + repeated(entry + "x></OBJECT>", 5000)));
    std::size_t bytes = 0;
    for (const IndexEntry& keyword : huge)
        bytes += keyword.keyword.size() + keyword.local.size();
    EXPECT_EQ(huge.at(0).keyword.size(), maxContentsName);
    EXPECT_LE(bytes, maxIndexBytes + maxKeywordSize + 6);

    HelpSearch search;
    for (const char* page : helpPages)
        search.addPage(page, source(page));
    const auto first = [&](const char* query) {
        const std::vector<HelpSearch::Hit> hits = search.find(query);
        return hits.empty() ? std::string() : hits[0].title + " of " + std::to_string(hits.size());
    };
    EXPECT_EQ(first("exclusive or"), "The formula language of 1");
    EXPECT_EQ(first("PRECED").substr(0, 20), "The formula language");
    EXPECT_EQ(first("command").substr(0, 16), "The command line"); // its title first
    EXPECT_EQ(first("zzyzx"), "");
    // Each page comes with the words around its first match, cut at blanks.
    const std::string context = search.find("exclusive or").at(0).context;
    EXPECT_NE(context.find("exclusive or"), std::string::npos) << context;
    EXPECT_TRUE(context.starts_with("\xE2\x80\xA6") && context.size() < 200) << context;
    // What a reader sees: no tags, no style sheet, references decoded.
    const PageText text = pageText("<head><title> A &amp;\n B </title><style>p{x:y}</style>"
                                   "</head><p>one<br>two&lt;</p>");
    EXPECT_EQ(text.title + "|" + text.text, "A & B|\none\ntwo<\n");
}
