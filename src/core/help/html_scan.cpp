#include "help/html_scan.h"

#include "text/case_fold.h"
#include "text/display_text.h"

#include <charconv>
#include <cstdint>

std::string_view HtmlTag::attribute(std::string_view key) const {
    for (const auto& [name, value] : attributes)
        if (name == key) return value;
    return {};
}

void cutUtf8(std::string& text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) return;
    std::size_t end = maxBytes;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    text.resize(end);
}

bool isHtmlSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

std::optional<HtmlTag> readHtmlTag(std::string_view text, std::size_t& at) {
    if (text.substr(at, 4) == "<!--") {
        const std::size_t end = text.find("-->", at + 4);
        at = end == std::string_view::npos ? text.size() : end + 3;
        return std::nullopt;
    }
    std::size_t i = at + 1;
    auto nameEnd = [&] {
        while (i < text.size() && !isHtmlSpace(text[i]) && text[i] != '>' && text[i] != '=' &&
               !(text[i] == '/' && i + 1 < text.size() && text[i + 1] == '>'))
            ++i;
    };
    HtmlTag tag;
    std::size_t start = i;
    if (i < text.size() && text[i] == '/') ++i;
    nameEnd();
    for (std::size_t k = start; k < i; ++k)
        tag.name += asciiLower(text[k]);
    while (i < text.size() && text[i] != '>') {
        if (isHtmlSpace(text[i]) || text[i] == '/') {
            tag.selfClosing = text[i] == '/';
            ++i;
            continue;
        }
        tag.selfClosing = false;
        start = i;
        nameEnd();
        std::string key;
        for (std::size_t k = start; k < i; ++k)
            key += asciiLower(text[k]);
        if (key.empty()) { // a stray '=' or quote
            ++i;
            continue;
        }
        while (i < text.size() && isHtmlSpace(text[i]))
            ++i;
        std::string value;
        if (i < text.size() && text[i] == '=') {
            ++i;
            while (i < text.size() && isHtmlSpace(text[i]))
                ++i;
            if (i < text.size() && (text[i] == '"' || text[i] == '\'')) {
                const char quote = text[i++];
                const std::size_t end = text.find(quote, i);
                const std::size_t stop = end == std::string_view::npos ? text.size() : end;
                value = decodeEntities(text.substr(i, stop - i));
                i = stop == text.size() ? stop : stop + 1;
            } else {
                start = i;
                while (i < text.size() && !isHtmlSpace(text[i]) && text[i] != '>')
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

bool isRawText(std::string_view name) {
    return name == "style" || name == "script" || name == "title";
}

std::size_t skipRawText(std::string_view text, std::size_t& at, std::string_view name) {
    for (std::size_t i = text.find("</", at); i != std::string_view::npos;
         i = text.find("</", i + 2)) {
        if (!equalIgnoringAsciiCase(text.substr(i + 2, name.size()), name)) continue;
        const std::size_t end = text.find('>', i);
        at = end == std::string_view::npos ? text.size() : end + 1;
        return i;
    }
    at = text.size();
    return at;
}

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
                if (equalIgnoringAsciiCase(body, name)) {
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
