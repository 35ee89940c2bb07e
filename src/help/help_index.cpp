#include "help/help_index.h"

#include "catalog/case_fold.h"
#include "search/search_text.h"

#include <cctype>

namespace {

// bytes counts what the keywords hold so far; collecting stops at the bounds.
void collect(const std::vector<ContentsEntry>& entries, const std::string& prefix,
             std::vector<IndexEntry>& out, std::size_t& bytes) {
    for (const ContentsEntry& entry : entries) {
        if (out.size() >= maxKeywords || bytes >= maxIndexBytes) return;
        std::string keyword = prefix.empty() ? entry.name : prefix + ", " + entry.name;
        cutUtf8(keyword, maxKeywordSize);
        if (!entry.local.empty() && !entry.name.empty()) {
            bytes += keyword.size() + entry.local.size();
            out.push_back({keyword, entry.local});
        }
        collect(entry.children, keyword, out, bytes);
    }
}

std::string_view withoutPunctuation(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size() && static_cast<unsigned char>(text[at]) < 0x80 &&
           !std::isalnum(static_cast<unsigned char>(text[at])))
        ++at;
    return text.substr(at);
}

} // namespace

std::vector<IndexEntry> indexKeywords(const std::vector<ContentsEntry>& sitemap) {
    std::vector<IndexEntry> out;
    std::size_t bytes = 0;
    collect(sitemap, {}, out, bytes);
    return out;
}

std::size_t findKeyword(const std::vector<IndexEntry>& entries, std::string_view typed) {
    const std::string wanted = foldCase(withoutPunctuation(typed));
    if (wanted.empty()) return std::string::npos;
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (foldCase(withoutPunctuation(entries[i].keyword)).starts_with(wanted)) return i;
    const std::vector<std::string> words = searchWords(wanted);
    if (words.empty()) return std::string::npos;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::vector<std::string> keywordWords = searchWords(entries[i].keyword);
        bool all = true;
        for (const std::string& word : words)
            all = all && wordMatchesLabel(word, keywordWords);
        if (all) return i;
    }
    return std::string::npos;
}
