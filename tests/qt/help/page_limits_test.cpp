#include "help_sources.h"
#include "qt/help/page_limits.h"

#include <gtest/gtest.h>
#include <string>
#include <utility>

namespace {

using PageRows = std::pair<std::string, bool>;

void expectWithinLimits(std::initializer_list<PageRows> rows) {
    for (const auto& [page, within] : rows)
        EXPECT_EQ(pageWithinLimits(page), within) << page.substr(0, 40);
}

TEST(HelpPageLimits, TheDeliveredPagesAreLaidOut) {
    for (const char* page : helpPages)
        EXPECT_TRUE(pageWithinLimits(helpSource(page))) << page;
}

TEST(HelpPageLimits, NestingIsCountedAsTheToolkitNestsElements) {
    expectWithinLimits({
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
    });
}

TEST(HelpPageLimits, SizeElementsLinesAndPicturesHoldAtTheirBudgets) {
    // Each at its budget and just past it; a line is a paragraph where preformatted.
    expectWithinLimits({
        {std::string(maxPageSize + 1, 'x'), false},
        {repeated("<b>x</b>", maxPageElements), true},
        {repeated("<b>x</b>", maxPageElements + 1), false},
        {"<pre>" + repeated("x\n", maxPageLines), true},
        {"<pre>" + repeated("x\n", maxPageLines / 2) + repeated("x&#8233;", maxPageLines / 2 + 1),
         false},
        {repeated("<img>", maxPagePictures), true},
        {repeated("<img>", maxPagePictures + 1), false},
    });
}

TEST(HelpPageLimits, TableCellsCountEveryPlace) {
    // Rows times columns, places left empty or spanned included, those of a table inside another
    // twice.
    expectWithinLimits({
        {"<table><tr>" + repeated("<td>", maxTableCells), true},
        {"<table><tr><td colspan=40>" + repeated("<tr><td>", maxTableCells / 40), false},
        {"<table><tr><td rowspan=9><td colspan=" + std::to_string(maxTableCells / 2) + "><tr><td>",
         false},
        {"<table><tr><td><table><tr>" + repeated("<td>", maxTableCells / 2 - 1), true},
        {"<table><tr><td><table><tr>" + repeated("<td>", maxTableCells / 2), false},
        // A table in a table part but in no cell is laid out where the last cell left off.
        {"<table><tr><td>a" + repeated("<tbody><td>b</tbody><td>c", 2), false},
    });
}

TEST(HelpPageLimits, StyleWorkIsSelectorsTimesElements) {
    // 2 for each selector tried on 1000 elements, and 1 for the sheet tried on all 1002; a
    // selector naming an ancestor walks the chain above every element.
    const std::string flat = repeated("<b>x</b>", 1000);
    const int styleRules = static_cast<int>((maxStyleWork - 1002) / 2000) - 1;
    expectWithinLimits({
        {"<style>" + repeated("b,", styleRules) + "b{}</style>" + flat, true},
        {"<style>" + repeated("b,", styleRules + 1) + "b{}</style>" + flat, false},
        {repeated("<b>", 127) + flat, true},
        {"<style>q *{}</style>" + repeated("<b>", 127) + flat, false},
        {"<style>p + b{}</style>", false},
        {"<style>/*" + std::string(maxStyleSheetSize / 2 - 4, ' ') + "*/</x></x>", true},
        {"<style>/*" + std::string(maxStyleSheetSize / 2, ' ') + "*/</x></x></x>", false},
    });
}

} // namespace
