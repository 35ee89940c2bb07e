// Arbitrary bytes as conv.ini: the reader must not crash, the precision must end in 1..4 and agree
// with a plain model of the rule, and a written precision must read back the same.

#include "fuzz_scratch.h"
#include "settings/settings_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <unistd.h>

namespace {

const Scratch& scratch() {
    static const Scratch instance("settings_fuzz");
    return instance;
}

// The first line as the reader sees it: CR LF taken as LF, at most 255 characters with its LF,
// ending at a NUL byte.
std::string firstPiece(std::string_view bytes) {
    std::string piece;
    for (std::size_t at = 0; at < bytes.size() && piece.size() < 255; ++at) {
        char c = bytes[at];
        if (c == '\r' && at + 1 < bytes.size() && bytes[at + 1] == '\n') c = bytes[++at];
        piece.push_back(c);
        if (c == '\n') break;
    }
    return piece.substr(0, piece.find('\0'));
}

// The rule without arithmetic, so no overflow can hide in it: the leading integer, after white
// space and a sign, clamped to 1..4.
int expectedPrecision(std::string_view line) {
    std::size_t at = line.find_first_not_of(" \t\n\v\f\r");
    if (at == std::string_view::npos) return 1;
    bool negative = false;
    if (line[at] == '+' || line[at] == '-') negative = line[at++] == '-';
    while (at < line.size() && line[at] == '0')
        ++at;
    std::size_t digits = 0;
    while (at + digits < line.size() && line[at + digits] >= '0' && line[at + digits] <= '9')
        ++digits;
    if (digits == 0 || negative) return 1;
    if (digits > 1) return 4;
    const int digit = line[at] - '0';
    return digit > 4 ? 4 : digit;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string path = scratch().file("conv.ini");
    writeFile(path, bytes);

    // Any valid value may be there before the read; an empty file must leave it alone.
    const int before = 1 + static_cast<int>(size % 4);
    int precision = before;
    check(readSettings(path, precision));
    check(precision >= 1 && precision <= 4);
    if (size == 0)
        check(precision == before);
    else
        check(precision == expectedPrecision(firstPiece(bytes)));

    const std::string piece = firstPiece(bytes);
    check(precisionFromLine(piece) == expectedPrecision(piece));

    check(writeSettings(path, precision));
    int reread = precision == 1 ? 2 : 1;
    check(readSettings(path, reread));
    check(reread == precision);
    return 0;
}
