// Arbitrary bytes as what the help window reads: a table of contents or an index, a page, a style
// sheet, a page's text checked against its encoding, and the reply of the help file's reader.
// Nothing may crash; every entry must be within the depth limit, every name what the bytes and
// references give, a reply must read back as it was written, and fitted colours must stay fitted.

#include "chm/page_encoding.h"
#include "help/help_contents.h"
#include "help/help_index.h"
#include "help/help_pages.h"
#include "help/help_search.h"
#include "qt/help/page_limits.h"
#include "qt/help/page_style.h"
#include "text/case_fold.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string_view>
#include <vector>

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

void walk(const std::vector<ContentsEntry>& entries, std::size_t depth) {
    check(depth <= maxContentsDepth);
    for (const ContentsEntry& entry : entries) {
        check(!entry.name.empty() || !entry.local.empty());
        walk(entry.children, depth + 1);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::vector<ContentsEntry> sitemap = parseContents(text);
    walk(sitemap, 1);
    // A reference never grows into more than four bytes of text, and plain text stays as it is.
    check(decodeEntities(text).size() <= text.size() * 4);
    if (text.find('&') == std::string_view::npos) check(decodeEntities(text) == text);

    const std::vector<IndexEntry> index = indexKeywords(sitemap);
    const std::size_t found = findKeyword(index, text.substr(0, 8));
    check(found == std::string::npos || found < index.size());

    pageWithinLimits(text);
    // Text read as UTF-8 (no byte order mark, no charset declared) stops decoding whole with a
    // byte that UTF-8 never holds.
    std::string head(text.substr(0, 1024));
    for (char& c : head)
        c = asciiLower(c);
    const bool declares = text.starts_with("\xEF\xBB\xBF") || text.starts_with("\xFF\xFE") ||
                          text.starts_with("\xFE\xFF") || head.find("charset") != std::string::npos;
    if (textDecodesWhole(text) && !declares) check(!textDecodesWhole(std::string(text) + "\xFF"));
    HelpSearch search;
    search.addPage("page.html", text);
    const PageText page = pageText(text);
    if (!page.title.empty()) check(search.find(page.title).size() <= 1);

    const PageColours light{{0, 0, 0}, {255, 255, 255}, {0, 0, 238}};
    const std::string fitted = fitStyleSheet(text, light);
    check(fitStyleSheet(fitted, light) == fitted);

    if (const std::optional<HelpReply> reply = decodeHelpReply(text); reply && reply->helpFile) {
        std::ostringstream again;
        reply->pages.write(again);
        const std::optional<HelpReply> back = decodeHelpReply(again.str());
        check(back && back->pages.files() == reply->pages.files() &&
              back->pages.title == reply->pages.title);
    }
    return 0;
}
