#include "help/help_contents.h"

#include "catalog/display_text.h"

#include <charconv>
#include <cstdint>
#include <optional>

namespace {

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

struct Tag {
    std::string name; // lower case, with a leading "/" for an end tag
    std::vector<std::pair<std::string, std::string>> attributes; // names in lower case
    std::string_view attribute(std::string_view name) const {
        for (const auto& [key, value] : attributes)
            if (key == name) return value;
        return {};
    }
};

// Reads the tag that starts at text[at] == '<' and moves at past it; nothing for a comment or
// a tag that never ends.
std::optional<Tag> readTag(std::string_view text, std::size_t& at) {
    if (text.substr(at, 4) == "<!--") {
        const std::size_t end = text.find("-->", at + 4);
        at = end == std::string_view::npos ? text.size() : end + 3;
        return std::nullopt;
    }
    std::size_t i = at + 1;
    auto nameEnd = [&] {
        while (i < text.size() && !isSpace(text[i]) && text[i] != '>' && text[i] != '=' &&
               !(text[i] == '/' && i + 1 < text.size() && text[i + 1] == '>'))
            ++i;
    };
    Tag tag;
    std::size_t start = i;
    if (i < text.size() && text[i] == '/') ++i;
    nameEnd();
    for (std::size_t k = start; k < i; ++k)
        tag.name += lower(text[k]);
    while (i < text.size() && text[i] != '>') {
        if (isSpace(text[i]) || text[i] == '/') {
            ++i;
            continue;
        }
        start = i;
        nameEnd();
        std::string key;
        for (std::size_t k = start; k < i; ++k)
            key += lower(text[k]);
        if (key.empty()) { // a stray '=' or quote
            ++i;
            continue;
        }
        while (i < text.size() && isSpace(text[i]))
            ++i;
        std::string value;
        if (i < text.size() && text[i] == '=') {
            ++i;
            while (i < text.size() && isSpace(text[i]))
                ++i;
            if (i < text.size() && (text[i] == '"' || text[i] == '\'')) {
                const char quote = text[i++];
                const std::size_t end = text.find(quote, i);
                const std::size_t stop = end == std::string_view::npos ? text.size() : end;
                value = decodeEntities(text.substr(i, stop - i));
                i = stop == text.size() ? stop : stop + 1;
            } else {
                start = i;
                while (i < text.size() && !isSpace(text[i]) && text[i] != '>')
                    ++i;
                value = decodeEntities(text.substr(start, i - start));
            }
        }
        tag.attributes.emplace_back(std::move(key), std::move(value));
    }
    if (i >= text.size()) {
        at = text.size();
        return std::nullopt;
    }
    at = i + 1;
    return tag;
}

} // namespace

std::string decodeEntities(std::string_view text) {
    static constexpr std::pair<std::string_view, std::string_view> named[] = {
        {"amp", "&"}, {"lt", "<"}, {"gt", ">"}, {"quot", "\""}, {"apos", "'"}, {"nbsp", "\xC2\xA0"},
    };
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t semicolon = text[i] == '&' ? text.find(';', i) : std::string_view::npos;
        if (semicolon == std::string_view::npos || semicolon - i > 10) {
            out += text[i++];
            continue;
        }
        const std::string_view body = text.substr(i + 1, semicolon - i - 1);
        bool done = false;
        if (body.size() > 1 && body[0] == '#') {
            const bool hex = body[1] == 'x' || body[1] == 'X';
            const std::string_view digits = body.substr(hex ? 2 : 1);
            std::uint32_t code = 0;
            const auto [end, error] =
                std::from_chars(digits.data(), digits.data() + digits.size(), code, hex ? 16 : 10);
            if (!digits.empty() && error == std::errc() && end == digits.data() + digits.size()) {
                // A NUL from the page would end the text early wherever it goes.
                appendUtf8(out, code == 0 ? char32_t{0xFFFD} : static_cast<char32_t>(code));
                done = true;
            }
        } else {
            for (const auto& [name, value] : named)
                if (equalsNoCase(body, name)) {
                    out += value;
                    done = true;
                    break;
                }
        }
        if (done) {
            i = semicolon + 1;
        } else {
            out += text[i++];
        }
    }
    return out;
}

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
        const std::optional<Tag> tag = readTag(sitemap, at);
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
            if (equalsNoCase(tag->attribute("type"), "text/sitemap")) entry.emplace();
        } else if (tag->name == "param" && entry) {
            const std::string_view name = tag->attribute("name");
            if (equalsNoCase(name, "name") && entry->name.empty())
                entry->name = std::string(tag->attribute("value"));
            else if (equalsNoCase(name, "local") && entry->local.empty())
                entry->local = std::string(tag->attribute("value"));
        } else if (tag->name == "/object" && entry) {
            if (!entry->name.empty() || !entry->local.empty())
                open.back()->push_back(std::move(*entry));
            entry.reset();
        }
    }
    return top;
}
