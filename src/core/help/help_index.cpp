#include "help/help_index.h"

#include "text/case_fold.h"
#include "text/search_text.h"

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

namespace {

// Whether a keyword answers what was typed, folded and without its leading punctuation: it
// starts with it, or its words start with the typed words.
bool answers(const std::string& keyword, const std::string& wanted,
             const std::vector<std::string>& words, bool byWords) {
    if (!byWords) return foldCase(withoutPunctuation(keyword)).starts_with(wanted);
    if (words.empty()) return false;
    const std::vector<std::string> keywordWords = searchWords(keyword);
    for (const std::string& word : words)
        if (!wordMatchesLabel(word, keywordWords)) return false;
    return true;
}

} // namespace

std::size_t findKeyword(const std::vector<IndexEntry>& entries, std::string_view typed) {
    const std::string wanted = foldCase(withoutPunctuation(typed));
    if (wanted.empty()) return std::string::npos;
    const std::vector<std::string> words = searchWords(wanted);
    for (const bool byWords : {false, true})
        for (std::size_t i = 0; i < entries.size(); ++i)
            if (answers(entries[i].keyword, wanted, words, byWords)) return i;
    return std::string::npos;
}

std::vector<bool> keywordsShown(const std::vector<IndexEntry>& entries, std::string_view typed) {
    const std::string wanted = foldCase(withoutPunctuation(typed));
    std::vector<bool> shown(entries.size(), true);
    if (wanted.empty()) return shown;
    const std::vector<std::string> words = searchWords(wanted);
    for (std::size_t i = 0; i < entries.size(); ++i)
        shown[i] = answers(entries[i].keyword, wanted, words, false) ||
                   answers(entries[i].keyword, wanted, words, true);
    return shown;
}
