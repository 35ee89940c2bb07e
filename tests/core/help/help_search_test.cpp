#include "help/help_index.h"
#include "help/help_search.h"
#include "help_sources.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace {

TEST(HelpIndexAndSearch, KeywordsAndWordsLeadToPages) {
    const std::vector<IndexEntry> index = indexKeywords(parseContents(helpSource("velmora.hhk")));
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
        search.addPage(page, helpSource(page));
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

} // namespace
