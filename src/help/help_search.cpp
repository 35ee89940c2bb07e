#include "help/help_search.h"

#include "catalog/display_text.h"
#include "help/html_scan.h"
#include "search/search_text.h"

#include <algorithm>

namespace {

// Tags that end a line of text, so that words either side stay apart.
bool breaksWords(std::string_view name) {
    static constexpr std::string_view breaking[] = {
        "br", "p",  "div", "li",  "td",    "th", "tr", "h1", "h2",         "h3", "h4", "h5",
        "h6", "dt", "dd",  "pre", "table", "ul", "ol", "dl", "blockquote", "hr", "img"};
    if (!name.empty() && name.front() == '/') name.remove_prefix(1);
    return std::find(std::begin(breaking), std::end(breaking), name) != std::end(breaking);
}

// How many of sorted words start with word.
std::size_t countStarting(const std::vector<std::string>& words, const std::string& word) {
    auto it = std::lower_bound(words.begin(), words.end(), word);
    std::size_t count = 0;
    for (; it != words.end() && it->starts_with(word); ++it)
        ++count;
    return count;
}

} // namespace

PageText pageText(std::string_view html) {
    const std::string text = toDisplayText(html);
    const std::string_view page(text);
    PageText out;
    std::string run;
    std::size_t at = 0;
    while (at < page.size()) {
        const std::size_t open = page.find('<', at);
        run.append(page.substr(at, open == std::string_view::npos ? open : open - at));
        if (open == std::string_view::npos) break;
        at = open;
        const std::optional<HtmlTag> tag = readHtmlTag(page, at);
        if (!tag) continue;
        if (isRawText(tag->name) && !tag->selfClosing) {
            const std::size_t start = at;
            const std::size_t end = skipRawText(page, at, tag->name);
            if (tag->name == "title" && out.title.empty())
                out.title = decodeEntities(page.substr(start, end - start));
        } else if (breaksWords(tag->name)) {
            run += '\n';
        }
    }
    out.text = decodeEntities(run);
    // A title shows its words one blank apart.
    std::string title;
    for (char c : out.title) {
        if (!isHtmlSpace(c))
            title += c;
        else if (!title.empty() && title.back() != ' ')
            title += ' ';
    }
    if (!title.empty() && title.back() == ' ') title.pop_back();
    out.title = std::move(title);
    return out;
}

void HelpSearch::addPage(std::string page, std::string_view html) {
    PageText text = pageText(html);
    Page entry;
    entry.hit.title = text.title.empty() ? page : text.title;
    entry.hit.page = std::move(page);
    entry.titleWords = searchWords(entry.hit.title);
    entry.words = searchWords(text.text);
    std::sort(entry.words.begin(), entry.words.end());
    pages_.push_back(std::move(entry));
}

std::vector<HelpSearch::Hit> HelpSearch::find(std::string_view query) const {
    const std::vector<std::string> words = searchWords(query);
    if (words.empty()) return {};
    std::vector<std::pair<std::size_t, const Page*>> found; // score, page
    for (const Page& page : pages_) {
        std::size_t score = 0;
        bool all = true;
        for (const std::string& word : words) {
            const std::size_t inText = countStarting(page.words, word);
            const bool inTitle = wordMatchesLabel(word, page.titleWords);
            all = all && (inText > 0 || inTitle);
            score += inText + (inTitle ? 100 : 0);
        }
        if (all) found.emplace_back(score, &page);
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    std::vector<Hit> hits;
    for (const auto& [score, page] : found)
        hits.push_back(page->hit);
    return hits;
}
