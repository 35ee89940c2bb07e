#include "cli/terminal_text.h"

#include "catalog/display_text.h"

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
        // U+0080 to U+009F: C2 80 to C2 9F.
        if (length == 2 && byte == 0xC2 && static_cast<unsigned char>(text[1]) <= 0x9F) {
            appendHex(out, "\\u00", static_cast<unsigned char>(text[1]), 2);
        } else {
            out += text.substr(0, length);
        }
        text.remove_prefix(length);
    }
    return out;
}
