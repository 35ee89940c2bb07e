#include "lists/saved_pair.h"

#include "text/display_text.h"

#include <algorithm>
#include <vector>

std::string savedPairLine(const SavedPair& pair) {
    std::string value = pair.value;
    std::replace_if(
        value.begin(), value.end(),
        [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }, ' ');
    std::string line = pair.category + '\t' + pair.from + '\t' + pair.to;
    if (!value.empty() && line.size() + 1 + value.size() <= maxSavedPairLine) line += '\t' + value;
    return line;
}

std::optional<SavedPair> savedPairFromLine(std::string_view line) {
    if (line.size() > maxSavedPairLine || !isValidUtf8(line)) return std::nullopt;
    const bool control = std::any_of(line.begin(), line.end(), [](char c) {
        return (static_cast<unsigned char>(c) < 0x20 && c != '\t') || c == 0x7F;
    });
    if (control) return std::nullopt;
    std::vector<std::string> fields;
    std::size_t at = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', at);
        fields.emplace_back(line.substr(at, tab == std::string_view::npos ? tab : tab - at));
        if (tab == std::string_view::npos) break;
        at = tab + 1;
    }
    if (fields.size() < 3 || fields.size() > 4) return std::nullopt;
    if (fields[0].empty() || fields[1].empty() || fields[2].empty()) return std::nullopt;
    fields.resize(4);
    return SavedPair{fields[0], fields[1], fields[2], fields[3]};
}
