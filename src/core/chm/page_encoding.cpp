#include "chm/page_encoding.h"

#include "help/html_scan.h"
#include "text/case_fold.h"

#include <cctype>
#include <cstdint>
#include <string>

namespace {

enum class Encoding { Utf8, Utf16Le, Utf16Be, SingleByte };

// Tab, line feed, form feed and carriage return are the only control characters of a text.
bool isStrayControl(std::uint32_t c) {
    return (c < 0x20 && c != '\t' && c != '\n' && c != '\f' && c != '\r') || c == 0x7F;
}

bool endsWithNoCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           equalIgnoringAsciiCase(text.substr(text.size() - suffix.size()), suffix);
}

// The charset a page's head declares, lower case; empty for none. Read where the window's
// decoder reads it: the first kilobyte.
std::string declaredCharset(std::string_view text) {
    std::string head;
    for (const char c : text.substr(0, 1024))
        head += asciiLower(c);
    const std::size_t at = head.find("charset=");
    if (at == std::string::npos) return {};
    std::size_t from = at + 8;
    while (from < head.size() && (head[from] == '"' || head[from] == '\'' || head[from] == ' '))
        ++from;
    std::size_t to = from;
    while (to < head.size() && (std::isalnum(static_cast<unsigned char>(head[to])) ||
                                head[to] == '-' || head[to] == '_' || head[to] == ':'))
        ++to;
    return head.substr(from, to - from);
}

Encoding encodingOf(std::string_view& text) {
    if (text.starts_with("\xEF\xBB\xBF")) {
        text.remove_prefix(3);
        return Encoding::Utf8;
    }
    if (text.starts_with("\xFF\xFE") || text.starts_with("\xFE\xFF")) {
        const bool little = text.front() == '\xFF';
        text.remove_prefix(2);
        return little ? Encoding::Utf16Le : Encoding::Utf16Be;
    }
    const std::string charset = declaredCharset(text);
    return charset.empty() || charset == "utf-8" || charset == "utf8" ? Encoding::Utf8
                                                                      : Encoding::SingleByte;
}

bool utf8Whole(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[at + k]); };
        const unsigned first = byte(0);
        std::size_t length = first < 0x80                     ? 1
                             : first >= 0xC2 && first <= 0xDF ? 2
                             : first >= 0xE0 && first <= 0xEF ? 3
                             : first >= 0xF0 && first <= 0xF4 ? 4
                                                              : 0;
        if (length == 0 || at + length > text.size()) return false;
        std::uint32_t c = length == 1 ? first : first & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            if ((byte(k) & 0xC0) != 0x80) return false;
            c = c << 6 | (byte(k) & 0x3F);
        }
        // The shortest form only, no surrogates, nothing past the last code point.
        static constexpr std::uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
        if (c < least[length] || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF || isStrayControl(c))
            return false;
        at += length;
    }
    return true;
}

bool utf16Whole(std::string_view text, bool little) {
    if (text.size() % 2 != 0) return false;
    bool high = false; // a first half waits for its second
    for (std::size_t at = 0; at < text.size(); at += 2) {
        const auto a = static_cast<unsigned char>(text[at]);
        const auto b = static_cast<unsigned char>(text[at + 1]);
        const std::uint32_t unit = little ? (b << 8 | a) : (a << 8 | b);
        const bool isHigh = unit >= 0xD800 && unit <= 0xDBFF;
        const bool isLow = unit >= 0xDC00 && unit <= 0xDFFF;
        if (isLow != high || isStrayControl(unit)) return false;
        high = isHigh;
    }
    return !high;
}

} // namespace

bool textDecodesWhole(std::string_view text) {
    const Encoding encoding = encodingOf(text);
    switch (encoding) {
    case Encoding::Utf8:
        return utf8Whole(text);
    case Encoding::Utf16Le:
    case Encoding::Utf16Be:
        return utf16Whole(text, encoding == Encoding::Utf16Le);
    case Encoding::SingleByte:
        break;
    }
    // Every byte is a character of a single-byte encoding: only control characters tell.
    for (const char c : text)
        if (isStrayControl(static_cast<unsigned char>(c))) return false;
    return true;
}

bool isTextFile(std::string_view name) {
    for (const std::string_view suffix : {".htm", ".html", ".css", ".hhc", ".hhk"})
        if (endsWithNoCase(name, suffix)) return true;
    return false;
}
