#include "text/case_fold.h"

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
    appendFolded(out, utf8);
    return out;
}

void appendFolded(std::string& out, std::string_view utf8) {
    // Every letter folded keeps the length of its encoding, so the text is copied once and
    // folded in place.
    const std::size_t start = out.size();
    out.append(utf8);
    char* text = out.data();
    const std::size_t size = out.size();
    for (std::size_t at = start; at < size;) {
        const auto lead = static_cast<unsigned char>(text[at]);
        // Only characters of up to two bytes can change; anything else is left byte by byte.
        if (lead < 0x80) {
            if (lead >= 'A' && lead <= 'Z') text[at] = static_cast<char>(lead + 0x20);
            ++at;
        } else if (lead >= 0xC2 && lead <= 0xDF && at + 1 < size &&
                   isContinuation(static_cast<unsigned char>(text[at + 1]))) {
            const char32_t c =
                (char32_t(lead & 0x1F) << 6) | (static_cast<unsigned char>(text[at + 1]) & 0x3F);
            const char32_t small = smallLetter(c);
            text[at] = static_cast<char>(0xC0 | (small >> 6));
            text[at + 1] = static_cast<char>(0x80 | (small & 0x3F));
            at += 2;
        } else {
            ++at;
        }
    }
}

bool equalIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (asciiLower(a[i]) != asciiLower(b[i])) return false;
    return true;
}

bool equalIgnoringCase(std::string_view a, std::string_view b) {
    return foldCase(a) == foldCase(b);
}
