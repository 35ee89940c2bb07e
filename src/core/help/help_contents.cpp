#include "help/help_contents.h"

#include "help/html_scan.h"
#include "text/case_fold.h"

#include <optional>

std::vector<ContentsEntry> parseContents(std::string_view sitemap) {
    std::vector<ContentsEntry> top;
    // The lists open at this point, innermost last; each is the children of the entry before it.
    std::vector<std::vector<ContentsEntry>*> open{&top};
    std::optional<ContentsEntry> entry; // inside <OBJECT type="text/sitemap">
    std::size_t at = 0;
    while (at < sitemap.size()) {
        if (sitemap[at] != '<') {
            ++at;
            continue;
        }
        const std::optional<HtmlTag> tag = readHtmlTag(sitemap, at);
        if (!tag) continue;
        if (tag->name == "ul") {
            std::vector<ContentsEntry>* current = open.back();
            // A list right after an entry holds its children; one without an entry before it,
            // or one too deep, continues the current level. open[0] and open[1] are the top.
            const bool deeper = !current->empty() && open.size() <= maxContentsDepth;
            open.push_back(deeper ? &current->back().children : current);
        } else if (tag->name == "/ul") {
            if (open.size() > 1) open.pop_back();
        } else if (tag->name == "object") {
            if (equalIgnoringAsciiCase(tag->attribute("type"), "text/sitemap")) entry.emplace();
        } else if (tag->name == "param" && entry) {
            const std::string_view name = tag->attribute("name");
            if (equalIgnoringAsciiCase(name, "name") && entry->name.empty())
                entry->name = std::string(tag->attribute("value"));
            else if (equalIgnoringAsciiCase(name, "local") && entry->local.empty())
                entry->local = std::string(tag->attribute("value"));
        } else if (tag->name == "/object" && entry) {
            cutUtf8(entry->name, maxContentsName);
            if (!entry->name.empty() || !entry->local.empty())
                open.back()->push_back(std::move(*entry));
            entry.reset();
        }
    }
    return top;
}
