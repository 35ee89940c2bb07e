#include "chm/page_encoding.h"
#include "chm/sha256.h"

#include <gtest/gtest.h>
#include <string>
#include <utility>

namespace {

TEST(HelpPageText, DecodesWholeAsItDeclares) {
    const std::pair<std::string, bool> rows[] = {
        {"<p>caf\xC3\xA9 \xF0\x9F\x98\x80\t\r\n</p>", true},
        {"<p>caf\xC3</p>", false},          // a sequence cut short
        {"<p>\xC0\xAF</p>", false},         // overlong
        {"<p>\xED\xA0\x80</p>", false},     // a surrogate
        {"<p>\xF4\x90\x80\x80</p>", false}, // past U+10FFFF
        {std::string("<p>a\0b</p>", 9), false},
        {"<p>\x1B[2J</p>", false},
        {"\xEF\xBB\xBF<p>\xE2\x82\xAC</p>", true},
        {std::string("\xFF\xFE<\0p\0=\xD8\0\xDE", 10), true}, // a pair of halves
        {std::string("\xFF\xFE<\0p\0=\xD8", 8), false},
        {std::string("\xFE\xFF\xDC\0", 4), false},
        {"<meta charset=\"windows-1252\"><p>caf\xE9</p>", true},
        {"<meta http-equiv=Content-Type content='text/html; CHARSET=ISO-8859-1'>\x01", false},
    };
    for (const auto& [text, whole] : rows)
        EXPECT_EQ(textDecodesWhole(text), whole) << text;
    EXPECT_TRUE(isTextFile("A/B.HTM") && isTextFile("x.hhk") && !isTextFile("p.png"));
    // Published test vectors: one block, and the padding spilling into a second.
    EXPECT_EQ(sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(sha256Hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
}

} // namespace
