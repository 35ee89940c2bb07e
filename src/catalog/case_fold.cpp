#include "catalog/case_fold.h"

#include "catalog/display_text.h"

namespace {

// The small letter of a capital in the ranges foldCase covers; other code points stay.
char32_t smallLetter(char32_t c) {
    if (c >= U'A' && c <= U'Z') return c + 0x20;
    if (c < 0xC0) return c;
    // Latin-1: À to Þ, except the multiplication sign.
    if (c <= 0xDE) return c == 0xD7 ? c : c + 0x20;
    // Latin Extended-A: capitals and small letters alternate, capital first, except in the runs
    // Ĺ to Ň and Ÿ to Ž, where the capital comes second; İ, ı, ĸ and ŉ have no partner here.
    if (c >= 0x100 && c <= 0x17F) {
        if (c == 0x130 || c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F) return c;
        if (c == 0x178) return 0xFF;
        if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return c % 2 ? c + 1 : c;
        return c % 2 ? c : c + 1;
    }
    // Greek: Α to Ω (no capital at U+03A2), and the accented capitals.
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return c + 0x20;
    if (c == 0x386) return 0x3AC;
    if (c >= 0x388 && c <= 0x38A) return c + 0x25;
    if (c == 0x38C) return 0x3CC;
    if (c == 0x38E || c == 0x38F) return c + 0x3F;
    // Cyrillic: Ѐ to Џ, and А to Я.
    if (c >= 0x400 && c <= 0x40F) return c + 0x50;
    if (c >= 0x410 && c <= 0x42F) return c + 0x20;
    return c;
}

bool isContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

} // namespace

std::string foldCase(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t at = 0; at < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[at]);
        // Only characters of up to two bytes can change; anything else is copied byte by byte.
        if (lead < 0x80) {
            out += static_cast<char>(smallLetter(lead));
            ++at;
        } else if (lead >= 0xC2 && lead <= 0xDF && at + 1 < utf8.size() &&
                   isContinuation(static_cast<unsigned char>(utf8[at + 1]))) {
            const char32_t c =
                (char32_t(lead & 0x1F) << 6) | (static_cast<unsigned char>(utf8[at + 1]) & 0x3F);
            appendUtf8(out, smallLetter(c));
            at += 2;
        } else {
            out += utf8[at++];
        }
    }
    return out;
}

bool equalIgnoringCase(std::string_view a, std::string_view b) {
    return foldCase(a) == foldCase(b);
}
