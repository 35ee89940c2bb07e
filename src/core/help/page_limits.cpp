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

// How many bytes the blank at text[at] takes, as the toolkit counts blanks (Unicode ones
// included); 0 for none. withParagraph: whether U+2029 counts.
std::size_t blankAt(std::string_view text, std::size_t at, bool withParagraph = true) {
    if (at >= text.size()) return 0;
    const auto byte = [&](std::size_t k) {
        return at + k < text.size() ? static_cast<unsigned char>(text[at + k]) : 0u;
    };
    const unsigned first = byte(0);
    if (first == ' ' || (first >= 0x09 && first <= 0x0D)) return 1;
    if (first == 0xC2 && (byte(1) == 0x85 || byte(1) == 0xA0)) return 2;
    if (first == 0xE1 && byte(1) == 0x9A && byte(2) == 0x80) return 3;
    if (first == 0xE3 && byte(1) == 0x80 && byte(2) == 0x80) return 3;
    if (first == 0xE2 && byte(1) == 0x81 && byte(2) == 0x9F) return 3;
    if (first == 0xE2 && byte(1) == 0x80) {
        const unsigned last = byte(2);
        if ((last >= 0x80 && last <= 0x8A) || last == 0xA8 || last == 0xAF ||
            (last == 0xA9 && withParagraph))
            return 3;
    }
    return 0;
}

void skipBlanks(std::string_view text, std::size_t& at) {
    while (std::size_t length = blankAt(text, at, false))
        at += length;
}

// One word of a tag, quoted or not, as the toolkit reads it; lower case. Character references
// are left as they are: a name holding one is told by its '&'.
std::string readWord(std::string_view text, std::size_t& at) {
    std::string word;
    if (at < text.size() && (text[at] == '"' || text[at] == '\'')) {
        const char quote = text[at++];
        while (at < text.size()) {
            const char c = text[at++];
            if (c == quote && (quote == '"' || text[at - 2] != '\\')) break;
            word += asciiLower(c);
        }
        return word;
    }
    while (at < text.size() && !blankAt(text, at)) {
        const char c = text[at];
        if (c == '>' || c == '<' || c == '=' ||
            (c == '/' && at + 1 < text.size() && text[at + 1] == '>'))
            break;
        word += asciiLower(c);
        ++at;
    }
    return word;
}

struct ReadTag {
    std::string name; // with a leading "/" for an end tag
    bool closed = false;
};

// Reads the tag after text[at] == '<' and moves at past it; nothing for a comment or a
// declaration.
std::optional<ReadTag> readTag(std::string_view text, std::size_t& at) {
    ++at;
    skipBlanks(text, at);
    ReadTag tag;
    const auto finish = [&] {
        for (; at < text.size() && text[at] != '>'; ++at)
            if (text[at] == '/') tag.closed = true;
        ++at;
    };
    if (at < text.size() && text[at] == '!') {
        if (text.substr(at + 1, 2) == "--") {
            const std::size_t end = text.find("-->", at + 3);
            at = end == std::string_view::npos ? text.size() : end + 3;
        } else {
            finish();
        }
        return std::nullopt;
    }
    if (at < text.size() && text[at] == '/') {
        ++at;
        tag.name = '/';
        tag.name += readWord(text, at);
        finish();
        return tag;
    }
    tag.name = readWord(text, at);
    // Attributes only after a blank; the tag ends at the first '>' after them.
    if (blankAt(text, at))
        while (at < text.size()) {
            skipBlanks(text, at);
            if (at >= text.size() || text[at] == '>' || text[at] == '/') break;
            if (readWord(text, at).empty()) break;
            skipBlanks(text, at);
            if (at < text.size() && text[at] == '=') {
                ++at;
                skipBlanks(text, at);
                readWord(text, at);
            }
        }
    finish();
    return tag;
}

} // namespace

bool pageWithinLimits(std::string_view html) {
    return html.size() <= maxPageSize && pageNestingWithinLimits(html);
}

bool pageNestingWithinLimits(std::string_view html) {
    std::vector<std::string> open;
    int tables = 0;
    std::size_t at = 0;
    while ((at = html.find('<', at)) != std::string_view::npos) {
        std::optional<ReadTag> tag = readTag(html, at);
        if (!tag) continue;
        // A name written with a character reference may be any name, a table's too.
        if (tag->name.find('&') != std::string::npos)
            tag->name = tag->name.starts_with('/') ? "/&" : "table";
        if (tag->name.starts_with('/')) {
            // An end tag closes its element and whatever was left open inside it.
            const std::string_view name = std::string_view(tag->name).substr(1);
            const auto match = std::find(open.rbegin(), open.rend(), name);
            if (match == open.rend()) continue;
            open.erase(std::next(match).base(), open.end());
            tables = static_cast<int>(std::count(open.begin(), open.end(), "table"));
            continue;
        }
        if (tag->closed || opensNoLevel(tag->name)) continue;
        open.push_back(tag->name);
        if (tag->name == "table") ++tables;
        if (static_cast<int>(open.size()) > maxPageNesting || tables > maxTableNesting)
            return false;
    }
    return true;
}
