#include "text/wide_encoding.h"

#include <algorithm>
#include <cstddef>

std::string_view wideEncodingOf(std::string_view start) {
    using namespace std::string_view_literals;
    if (start.starts_with("\xFF\xFE\0\0"sv) || start.starts_with("\0\0\xFE\xFF"sv)) return "UTF-32";
    if (start.starts_with("\xFF\xFE"sv) || start.starts_with("\xFE\xFF"sv)) return "UTF-16";
    // Without a mark: Latin text in UTF-16 is half zero bytes, in UTF-32 three quarters; UTF-8
    // text has none. Judged on the first 1,024 bytes.
    const std::string_view head = start.substr(0, 1024);
    const std::size_t zeros = static_cast<std::size_t>(std::count(head.begin(), head.end(), '\0'));
    if (head.size() < 8 || zeros * 3 < head.size()) return {};
    return zeros * 3 >= head.size() * 2 ? "UTF-32" : "UTF-16";
}
