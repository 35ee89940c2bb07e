#include "text/search_text.h"

#include "text/case_fold.h"

#include <algorithm>

namespace {

// What a character of a name or a typed word becomes in its key: its text, or "-" for a joiner,
// or nothing.
struct KeyMapping {
    std::string_view from;
    std::string_view to;
};
constexpr KeyMapping keyMappings[] = {
    {"\xC2\xB2", "2"},     // ²
    {"\xC2\xB3", "3"},     // ³
    {"\xC2\xB5", "u"},     // µ, the micro sign
    {"\xCE\xBC", "u"},     // μ, the Greek letter
    {"\xC2\xB0", ""},      // °
    {"\xC2\xBA", ""},      // º, often typed for °
    {"^", ""},             //
    {"\xC2\xB7", "-"},     // ·
    {"\xE2\x8B\x85", "-"}, // ⋅
    {"-", "-"},            //
    {"_", "-"},            //
    {" ", "-"},            //
    {"\t", "-"},           //
};

} // namespace

std::vector<std::string> searchWords(std::string_view utf8) {
    const std::string folded = foldCase(utf8);
    std::vector<std::string> words;
    std::size_t at = 0;
    while (at < folded.size()) {
        if (!isSearchWordByte(folded[at])) {
            ++at;
            continue;
        }
        std::size_t end = at;
        while (end < folded.size() && isSearchWordByte(folded[end]))
            ++end;
        words.emplace_back(folded.substr(at, end - at));
        at = end;
    }
    return words;
}

bool wordMatchesLabel(std::string_view word, const std::vector<std::string>& labelWords) {
    for (const std::string& label : labelWords)
        if (label.starts_with(word)) return true;
    return false;
}

namespace {

// The key of text with its letter case as it stands.
std::string mappedKey(std::string_view text) {
    std::string key;
    key.reserve(text.size());
    std::string_view rest = text;
    while (!rest.empty()) {
        // Most of a key is letters and digits, which stay as they are.
        if (const char c = rest.front();
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
            key += c;
            rest.remove_prefix(1);
            continue;
        }
        std::string_view to = rest.substr(0, 1);
        std::size_t length = 1;
        for (const KeyMapping& mapping : keyMappings)
            if (rest.starts_with(mapping.from)) {
                to = mapping.to;
                length = mapping.from.size();
                break;
            }
        rest.remove_prefix(length);
        // A joiner only between two parts, and one for a run of them.
        if (to == "-" && (key.empty() || key.back() == '-')) continue;
        key += to;
    }
    if (!key.empty() && key.back() == '-') key.pop_back();
    return key;
}

} // namespace

std::string searchKey(std::string_view utf8) {
    // Most names are ASCII, whose capitals fold a letter at a time: one pass, no copy.
    if (std::all_of(utf8.begin(), utf8.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        std::string key = mappedKey(utf8);
        for (char& c : key)
            c = asciiLower(c);
        return key;
    }
    return mappedKey(foldCase(utf8));
}

std::string searchKeyKeepingCase(std::string_view utf8) {
    return mappedKey(utf8);
}

std::vector<std::string_view> keyParts(std::string_view key) {
    std::vector<std::string_view> parts;
    std::size_t at = 0;
    while (at <= key.size()) {
        std::size_t end = key.find('-', at);
        if (end == std::string_view::npos) end = key.size();
        if (end > at) parts.push_back(key.substr(at, end - at));
        at = end + 1;
    }
    return parts;
}

std::string singularOf(std::string_view word) {
    // Symbols of two letters and their plurals stay apart: "ms" is no "m".
    if (word == "feet") return "foot";
    if (word.size() < 4 || word.back() != 's') return {};
    const auto endsWith = [&](std::string_view end) { return word.ends_with(end); };
    if (endsWith("ies") && word.size() >= 6)
        return std::string(word.substr(0, word.size() - 3)) + "y";
    if ((endsWith("ches") || endsWith("shes") || endsWith("xes") || endsWith("sses") ||
         endsWith("zes")) &&
        word.size() >= 5)
        return std::string(word.substr(0, word.size() - 2));
    // "gauss", "celsius": no plurals.
    if (endsWith("ss") || endsWith("us")) return {};
    return std::string(word.substr(0, word.size() - 1));
}

bool sameWordOtherNumber(std::string_view a, std::string_view b) {
    if (a.size() == b.size()) return (a == "feet" && b == "foot") || (a == "foot" && b == "feet");
    // Most pairs differ in length or start, and need no singular made.
    const std::size_t shorter = std::min(a.size(), b.size());
    if (shorter < 3 || std::max(a.size(), b.size()) - shorter > 2 ||
        a.substr(0, 3) != b.substr(0, 3))
        return false;
    return a.size() > b.size() ? singularOf(a) == b : singularOf(b) == a;
}

std::vector<std::string> singularKeys(std::string_view key) {
    std::vector<std::string> keys;
    std::size_t at = 0;
    while (at < key.size()) {
        std::size_t end = key.find('-', at);
        if (end == std::string_view::npos) end = key.size();
        if (const std::string singular = singularOf(key.substr(at, end - at)); !singular.empty())
            keys.push_back(std::string(key.substr(0, at)) + singular +
                           std::string(key.substr(end)));
        at = end + 1;
    }
    return keys;
}

std::uint32_t characterCount(std::string_view text) {
    std::uint32_t count = 0;
    for (std::size_t at = 0; at < text.size(); at += characterLength(text, at))
        ++count;
    return count;
}

std::size_t characterLength(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    const std::size_t length = lead < 0xC2   ? 1
                               : lead < 0xE0 ? 2
                               : lead < 0xF0 ? 3
                               : lead < 0xF5 ? 4
                                             : 1;
    if (length == 1 || at + length > text.size()) return 1;
    for (std::size_t i = 1; i < length; ++i)
        if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80) return 1;
    return length;
}

std::size_t typoAllowance(std::string_view utf8) {
    std::size_t characters = 0;
    for (const char c : utf8)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++characters;
    return characters >= 8 ? 2 : characters >= 4 ? 1 : 0;
}

std::uint64_t characterBits(std::string_view text) {
    std::uint64_t bits = 0;
    for (std::size_t at = 0; at < text.size();) {
        at += static_cast<unsigned char>(text[at]) < 0x80 ? 1 : characterLength(text, at);
        bits |= std::uint64_t{1} << (static_cast<unsigned char>(text[at - 1]) & 63);
    }
    return bits;
}
