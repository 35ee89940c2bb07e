#include "text/edit_distance.h"

#include "text/search_text.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace {

// The distance over two sequences of comparable units: bytes, or whole characters.
template <typename Unit>
std::size_t bandedDistance(const Unit* a, std::size_t n, const Unit* b, std::size_t m,
                           std::size_t bound) {
    if (n > m) {
        std::swap(a, b);
        std::swap(n, m);
    }
    const std::size_t beyond = bound + 1;
    if (m - n > bound) return beyond;
    if (n == 0) return m;
    // Three rows over b, on the stack for the short words most calls compare; the cells beside
    // the band hold beyond, which no neighbour can undercut enough to matter.
    constexpr std::size_t onStack = 96;
    std::array<std::size_t, 3 * onStack> stack;
    std::vector<std::size_t> heap;
    std::size_t* cells = stack.data();
    if (m + 1 > onStack) {
        heap.resize(3 * (m + 1));
        cells = heap.data();
    }
    std::size_t* before = cells;
    std::size_t* previous = cells + (m + 1);
    std::size_t* current = cells + 2 * (m + 1);
    // Row 0 and the cell beside its band; every later row writes its band and the cells beside
    // it before the next row reads them, and before is only read from the second row on.
    for (std::size_t j = 0; j <= std::min(m, bound + 1); ++j)
        previous[j] = j <= bound ? j : beyond;
    for (std::size_t i = 1; i <= n; ++i) {
        const std::size_t first = i > bound ? i - bound : 1;
        const std::size_t last = std::min(m, i + bound);
        // Only the cells beside the band are reset: the next row reads no further.
        current[first - 1] = first == 1 && i <= bound ? i : beyond;
        if (last < m) current[last + 1] = beyond;
        std::size_t rowMinimum = current[first - 1];
        for (std::size_t j = first; j <= last; ++j) {
            const std::size_t cost = a[i - 1] == b[j - 1] ? 0 : 1;
            std::size_t cell =
                std::min({previous[j] + 1, current[j - 1] + 1, previous[j - 1] + cost});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                cell = std::min(cell, before[j - 2] + 1);
            current[j] = std::min(cell, beyond);
            rowMinimum = std::min(rowMinimum, current[j]);
        }
        if (rowMinimum > bound) return beyond;
        std::swap(before, previous);
        std::swap(previous, current);
    }
    return std::min(previous[m], beyond);
}

bool isAscii(std::string_view text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

// The characters of text, each its bytes packed into one number (characterLength).
std::size_t characters(std::string_view text, std::uint32_t* out) {
    std::size_t count = 0;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = characterLength(text, at);
        std::uint32_t unit = 0;
        for (std::size_t i = 0; i < length; ++i)
            unit = unit << 8 | static_cast<unsigned char>(text[at + i]);
        out[count++] = unit;
        at += length;
    }
    return count;
}

} // namespace

std::size_t boundedEditDistance(std::string_view a, std::string_view b, std::size_t bound) {
    if (a.size() > b.size()) std::swap(a, b);
    // Far longer in bytes is far longer in characters too when the bytes that tell are ASCII:
    // a long pasted text is set aside without reading it all.
    if (b.size() - a.size() > bound && isAscii(b.substr(0, a.size() + bound + 1))) return bound + 1;
    if (isAscii(a) && isAscii(b))
        return bandedDistance(a.data(), a.size(), b.data(), b.size(), bound);
    // Characters outside ASCII count whole, as typoAllowance counts them: "é" for "e" is one
    // edit, not two.
    constexpr std::size_t onStack = 96;
    std::array<std::uint32_t, 2 * onStack> stack;
    std::vector<std::uint32_t> heap;
    std::uint32_t* units = stack.data();
    if (a.size() + b.size() > stack.size()) {
        heap.resize(a.size() + b.size());
        units = heap.data();
    }
    const std::size_t n = characters(a, units);
    const std::size_t m = characters(b, units + n);
    return bandedDistance(units, n, units + n, m, bound);
}
