#include "search/unit_names.h"

#include "catalog/case_fold.h"
#include "catalog/display_text.h"
#include "catalog/file_system.h"
#include "catalog/text_scan.h"
#include "catalog/whole_file_writer.h"
#include "search/search_text.h"

#include <filesystem>

namespace {

constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";

std::vector<std::string_view> fieldsOf(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t at = 0;
    while (true) {
        const std::size_t end = line.find('|', at);
        fields.push_back(trimmed(line.substr(at, end - at)));
        if (end == std::string_view::npos) return fields;
        at = end + 1;
    }
}

} // namespace

void UnitNames::add(std::string_view label, std::string_view name) {
    byLabel_[foldCase(label)].emplace_back(name);
}

const std::vector<std::string>& UnitNames::of(std::string_view label) const {
    static const std::vector<std::string> none;
    if (byLabel_.empty()) return none;
    const auto found = byLabel_.find(foldCase(label));
    return found == byLabel_.end() ? none : found->second;
}

NamesFile parseNamesFile(std::string_view bytes) {
    NamesFile file;
    if (bytes.starts_with(byteOrderMark)) bytes.remove_prefix(byteOrderMark.size());
    std::size_t at = 0;
    while (at < bytes.size()) {
        std::size_t end = bytes.find('\n', at);
        if (end == std::string_view::npos) end = bytes.size();
        const int number = ++file.lines;
        const std::string line = toDisplayText(bytes.substr(at, end - at));
        at = end + 1;
        const std::string_view text = trimmed(line);
        if (text.empty() || text.front() == '#') continue;
        auto report = [&](std::string message) {
            file.problems.push_back({number, std::move(message)});
        };
        const std::vector<std::string_view> fields = fieldsOf(text);
        if (fields.size() < 2) {
            report("no \"|\": a line is a unit label and its names, Label|name|name");
            continue;
        }
        if (fields.front().empty()) {
            report("no unit label before the first \"|\"");
            continue;
        }
        int given = 0;
        for (std::size_t i = 1; i < fields.size(); ++i) {
            const std::string_view name = fields[i];
            if (name.empty()) continue;
            if (keyParts(searchKey(name)).empty()) {
                report("the name \"" + std::string(name) +
                       "\" has no letter or digit, so nothing typed can match it");
                continue;
            }
            file.names.add(fields.front(), name);
            ++given;
        }
        if (given > 0) {
            file.nameCount += given;
            file.labels.emplace_back(number, std::string(fields.front()));
        } else if (file.problems.empty() || file.problems.back().line != number) {
            report("no names after the unit label \"" + std::string(fields.front()) + "\"");
        }
    }
    return file;
}

UnitNames readUnitNames(const std::string& path) {
    std::string bytes;
    if (!readWholeFile(path, bytes)) return {};
    return parseNamesFile(bytes).names;
}

std::string namesPathBeside(const std::string& catalogPath) {
    return utf8Path(nativePath(catalogPath).parent_path() / "names.txt");
}
