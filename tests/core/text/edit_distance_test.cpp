#include "text/edit_distance.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace {

// The textbook table over bytes, with the adjacent swap: what the banded one must agree with.
std::size_t fullDistance(const std::string& a, const std::string& b) {
    std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
    for (std::size_t i = 0; i <= a.size(); ++i)
        d[i][0] = i;
    for (std::size_t j = 0; j <= b.size(); ++j)
        d[0][j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i)
        for (std::size_t j = 1; j <= b.size(); ++j) {
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1,
                                d[i - 1][j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    return d[a.size()][b.size()];
}

TEST(EditDistance, CountsCharactersAndSwapsUpToTheBound) {
    const struct {
        const char* a;
        const char* b;
        std::size_t bound;
        std::size_t distance;
    } rows[] = {
        {"metre", "metre", 2, 0},
        {"metre", "meter", 2, 1}, // an adjacent swap is one edit
        {"metre", "mtre", 2, 1},
        {"mile", "mil", 2, 1},
        {"", "abc", 5, 3},
        {"kilometre", "mile", 2, 3}, // past the bound: bound + 1
        {"abc", "xyz", 0, 1},
        // A UTF-8 sequence is one character, a stray byte one of its own.
        {"\xC3\xA5ngstr\xC3\xB6m", "angstrom", 3, 2},
        {"\xC2\xB5m", "um", 2, 1},
        {"\xC3", "a", 2, 1},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(boundedEditDistance(row.a, row.b, row.bound), row.distance)
            << row.a << " / " << row.b;
        EXPECT_EQ(boundedEditDistance(row.b, row.a, row.bound), row.distance) << "swapped";
    }
    // A pasted page against a word is set aside at once, and two long texts are still compared.
    const std::string page(100000, 'x');
    EXPECT_EQ(boundedEditDistance(page, "xx", 2), 3u);
    EXPECT_EQ(boundedEditDistance(page, page + "yy", 2), 2u);
}

TEST(EditDistance, TheBandAgreesWithTheWholeTable) {
    // Short ASCII words over a small alphabet, so that swaps and near misses are common.
    std::mt19937 random(20261210);
    const auto word = [&] {
        std::string out(random() % 9, ' ');
        for (char& c : out)
            c = static_cast<char>('a' + random() % 3);
        return out;
    };
    for (int i = 0; i < 3000; ++i) {
        const std::string a = word();
        const std::string b = word();
        const std::size_t bound = random() % 5;
        EXPECT_EQ(boundedEditDistance(a, b, bound), std::min(fullDistance(a, b), bound + 1))
            << a << " / " << b << " within " << bound;
    }
}

} // namespace
