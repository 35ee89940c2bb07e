// Arbitrary bytes as the table of contents of a help file: the reader must not crash, every entry
// must be within the depth limit, and every name must be what the bytes and references give.

#include "help/help_contents.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

void walk(const std::vector<ContentsEntry>& entries, std::size_t depth) {
    check(depth <= maxContentsDepth);
    for (const ContentsEntry& entry : entries) {
        check(!entry.name.empty() || !entry.local.empty());
        walk(entry.children, depth + 1);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    walk(parseContents(text), 1);
    // A reference never grows into more than four bytes of text, and plain text stays as it is.
    check(decodeEntities(text).size() <= text.size() * 4);
    if (text.find('&') == std::string_view::npos) check(decodeEntities(text) == text);
    return 0;
}
