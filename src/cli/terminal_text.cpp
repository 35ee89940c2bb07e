#include "cli/terminal_text.h"

#include "text/display_text.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace {

void appendHex(std::string& out, std::string_view prefix, unsigned value, int digits) {
    constexpr char hex[] = "0123456789abcdef";
    out += prefix;
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4)
        out += hex[(value >> shift) & 0xF];
}

// The length of the UTF-8 character that starts text, or 0 when it starts with none.
std::size_t characterLength(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text[0]);
    const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    if (lead >= 0x80 && lead < 0xC2) return 0;
    if (length > text.size() || !isValidUtf8(text.substr(0, length))) return 0;
    return length;
}

char32_t codePoint(std::string_view character) {
    const auto lead = static_cast<unsigned char>(character[0]);
    if (character.size() == 1) return lead;
    char32_t value = lead & (0x7F >> character.size());
    for (std::size_t i = 1; i < character.size(); ++i)
        value = (value << 6) | (static_cast<unsigned char>(character[i]) & 0x3F);
    return value;
}

struct Range {
    char32_t first;
    char32_t last;
};

// Characters that draw nothing yet change what the terminal shows: the C1 controls, the format
// characters (bidirectional embeddings, overrides and isolates, zero-width characters, the soft
// hyphen, the byte order mark, tag characters) and the line and paragraph separators. A label
// holding U+202E shows the rest of the message backwards; one holding U+200B looks like another.
constexpr std::array<Range, 22> invisible{{
    {0x0080, 0x009F},   {0x00AD, 0x00AD},   {0x0600, 0x0605},   {0x061C, 0x061C},
    {0x06DD, 0x06DD},   {0x070F, 0x070F},   {0x0890, 0x0891},   {0x08E2, 0x08E2},
    {0x180E, 0x180E},   {0x200B, 0x200F},   {0x2028, 0x202E},   {0x2060, 0x2064},
    {0x2066, 0x206F},   {0xFEFF, 0xFEFF},   {0xFFF9, 0xFFFB},   {0x110BD, 0x110BD},
    {0x110CD, 0x110CD}, {0x13430, 0x1343F}, {0x1BCA0, 0x1BCA3}, {0x1D173, 0x1D17A},
    {0xE0001, 0xE0001}, {0xE0020, 0xE007F},
}};

bool isInvisible(char32_t value) {
    const auto after = std::upper_bound(invisible.begin(), invisible.end(), value,
                                        [](char32_t v, const Range& r) { return v < r.first; });
    return after != invisible.begin() && value <= std::prev(after)->last;
}

} // namespace

std::string terminalText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    while (!text.empty()) {
        const auto byte = static_cast<unsigned char>(text[0]);
        const std::size_t length = characterLength(text);
        if (length == 0 || (length == 1 && ((byte < 0x20 && byte != '\n') || byte == 0x7F))) {
            appendHex(out, "\\x", byte, 2);
            text.remove_prefix(1);
            continue;
        }
        const char32_t value = length == 1 ? byte : codePoint(text.substr(0, length));
        if (length > 1 && isInvisible(value)) {
            if (value > 0xFFFF)
                appendHex(out, "\\U", value, 8);
            else
                appendHex(out, "\\u", value, 4);
        } else {
            out += text.substr(0, length);
        }
        text.remove_prefix(length);
    }
    return out;
}
