#include "help/help_search.h"

#include "help/html_scan.h"
#include "text/case_fold.h"
#include "text/display_text.h"
#include "text/search_text.h"

#include <algorithm>
#include <cctype>
#include <tuple>

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
    std::size_t headingStart = std::string::npos;
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
            // A heading's text goes to the headings as well.
            const bool heading = tag->name.size() == 2 && tag->name[0] == 'h' &&
                                 tag->name[1] >= '1' && tag->name[1] <= '6';
            const bool closing = tag->name.size() == 3 && tag->name[0] == '/' &&
                                 tag->name[1] == 'h' && tag->name[2] >= '1' && tag->name[2] <= '6';
            if (heading) headingStart = run.size();
            if (closing && headingStart != std::string::npos) {
                out.headings += decodeEntities(run.substr(headingStart)) + '\n';
                headingStart = std::string::npos;
            }
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
    entry.headingWords = searchWords(text.headings);
    entry.words = searchWords(text.text);
    std::sort(entry.words.begin(), entry.words.end());
    for (char c : text.text) {
        if (isHtmlSpace(c)) {
            if (!entry.text.empty() && entry.text.back() != ' ') entry.text += ' ';
        } else {
            entry.text += c;
        }
    }
    entry.lowered = entry.text;
    for (char& c : entry.lowered)
        c = asciiLower(c);
    pages_.push_back(std::move(entry));
}

std::size_t HelpSearch::firstMatch(const Page& page, const std::vector<std::string>& words) {
    std::size_t first = std::string::npos;
    for (const std::string& word : words) {
        for (std::size_t at = page.lowered.find(word); at != std::string::npos && at < first;
             at = page.lowered.find(word, at + 1)) {
            const unsigned char before =
                at > 0 ? static_cast<unsigned char>(page.lowered[at - 1]) : ' ';
            // At the start of a word only.
            if (before >= 0x80 || !std::isalnum(before)) {
                first = at;
                break;
            }
        }
        // The query's first word that the text has: its own first place.
        if (first != std::string::npos) break;
    }
    return first;
}

namespace {

// About a line of text around at, cut at blanks, with an ellipsis at each cut end.
std::string contextAround(const std::string& text, std::size_t at) {
    constexpr std::size_t before = 40;
    constexpr std::size_t after = 100;
    std::size_t start = at > before ? text.rfind(' ', at - before) : std::string::npos;
    start = start == std::string::npos || at <= before ? 0 : start + 1;
    std::size_t end = text.find(' ', std::min(text.size(), at + after));
    if (end == std::string::npos) end = text.size();
    return (start > 0 ? "\xE2\x80\xA6" : "") + text.substr(start, end - start) +
           (end < text.size() ? "\xE2\x80\xA6" : "");
}

} // namespace

std::vector<HelpSearch::Hit> HelpSearch::find(std::string_view query) const {
    const std::vector<std::string> words = searchWords(query);
    if (words.empty()) return {};
    struct Found {
        std::size_t inTitle;
        std::size_t wholeInTitle;
        std::size_t inHeadings;
        std::size_t inText;
        std::size_t firstAt;
        const Page* page;
        auto rank() const { return std::tuple(inTitle, wholeInTitle, inHeadings, inText); }
    };
    std::vector<Found> found;
    for (const Page& page : pages_) {
        Found match{0, 0, 0, 0, 0, &page};
        bool all = true;
        for (const std::string& word : words) {
            const bool title = wordMatchesLabel(word, page.titleWords);
            const std::size_t inText = countStarting(page.words, word);
            all = all && (title || inText > 0);
            match.inTitle += title ? 1 : 0;
            match.wholeInTitle +=
                std::count(page.titleWords.begin(), page.titleWords.end(), word) > 0;
            match.inHeadings += wordMatchesLabel(word, page.headingWords) ? 1 : 0;
            match.inText += inText;
        }
        if (!all) continue;
        match.firstAt = firstMatch(page, words);
        found.push_back(match);
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const Found& a, const Found& b) { return a.rank() > b.rank(); });
    std::vector<Hit> hits;
    for (const Found& match : found) {
        hits.push_back(match.page->hit);
        if (match.firstAt != std::string::npos)
            hits.back().context = contextAround(match.page->text, match.firstAt);
    }
    return hits;
}
