#include "help/page_limits.h"

#include "help/html_scan.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

// Elements with no content, and elements whose end tag may be left out: neither is a level of
// nesting as a page is usually written.
bool opensNoLevel(std::string_view name) {
    static constexpr std::string_view names[] = {
        "area",   "base",     "br",       "col",    "embed",   "hr",    "img",   "input",
        "link",   "meta",     "param",    "source", "track",   "wbr",   "p",     "li",
        "dt",     "dd",       "tr",       "td",     "th",      "thead", "tbody", "tfoot",
        "option", "colgroup", "basefont", "frame",  "isindex", "keygen"};
    return name.empty() || name.front() == '!' || name.front() == '?' ||
           std::find(std::begin(names), std::end(names), name) != std::end(names);
}

bool isRawText(std::string_view name) {
    return name == "style" || name == "script" || name == "title" || name == "textarea" ||
           name == "xmp" || name == "plaintext";
}

} // namespace

bool pageWithinLimits(std::string_view html) {
    if (html.size() > maxPageSize) return false;
    std::vector<std::string> open;
    int tables = 0;
    std::size_t at = 0;
    while ((at = html.find('<', at)) != std::string_view::npos) {
        const std::optional<HtmlTag> tag = readHtmlTag(html, at);
        if (!tag) continue;
        if (tag->name.starts_with('/')) {
            // An end tag closes its element and whatever was left open inside it.
            const std::string_view name = std::string_view(tag->name).substr(1);
            const auto match = std::find(open.rbegin(), open.rend(), name);
            if (match == open.rend()) continue;
            open.erase(std::next(match).base(), open.end());
            tables = static_cast<int>(std::count(open.begin(), open.end(), "table"));
            continue;
        }
        if (isRawText(tag->name) && !tag->selfClosing) {
            skipRawText(html, at, tag->name);
            continue;
        }
        if (tag->selfClosing || opensNoLevel(tag->name)) continue;
        open.push_back(tag->name);
        if (tag->name == "table") ++tables;
        if (static_cast<int>(open.size()) > maxPageNesting || tables > maxTableNesting)
            return false;
    }
    return true;
}
