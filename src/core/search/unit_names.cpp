#include "search/unit_names.h"

#include "files/file_system.h"
#include "files/whole_file_writer.h"
#include "search/search_text.h"
#include "text/case_fold.h"
#include "text/display_text.h"
#include "text/text_scan.h"

#include <filesystem>

namespace {

constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";

} // namespace

void UnitNames::add(std::string_view label, std::string_view name) {
    add(label, name, searchKey(name));
}

void UnitNames::add(std::string_view label, std::string_view name, std::string_view key) {
    if (!names_)
        names_ = std::make_shared<NameIndex>();
    else if (names_.use_count() > 1)
        names_ = std::make_shared<NameIndex>(*names_);
    names_->add(label, name, key);
}

std::size_t UnitNames::size() const {
    return names_ ? names_->size() : 0;
}

void UnitNames::reserve(std::size_t bytes) {
    if (!names_) names_ = std::make_shared<NameIndex>();
    names_->reserve(bytes);
}

std::vector<std::string> UnitNames::of(std::string_view label) const {
    std::vector<std::string> names;
    if (const auto index = this->index())
        for (const std::string_view name : index->namesOf(index->labelId(label)))
            names.emplace_back(name);
    return names;
}

std::shared_ptr<const NameIndex> UnitNames::index() const {
    if (empty()) return nullptr;
    names_->build();
    return names_;
}

// Reads the lines of bytes into names, and when file is given, what a check reports into it.
// The fields of a line are taken one at a time, so that a line of many "|" costs no more than
// its bytes. False, with the names read so far, when more than maxNames names would be held.
bool parseNames(std::string_view bytes, UnitNames* names, NamesFile* file) {
    if (bytes.starts_with(byteOrderMark)) bytes.remove_prefix(byteOrderMark.size());
    if (names) names->reserve(bytes.size());
    int lines = 0;
    std::size_t at = 0;
    std::string line;
    while (at < bytes.size()) {
        std::size_t end = bytes.find('\n', at);
        if (end == std::string_view::npos) end = bytes.size();
        const int number = ++lines;
        line = toDisplayText(bytes.substr(at, end - at));
        at = end + 1;
        const std::string_view text = trimmed(line);
        if (text.empty() || text.front() == '#') continue;
        bool reported = false;
        auto report = [&](std::string message) {
            if (file) file->problems.push_back({number, std::move(message)});
            reported = true;
        };
        const std::size_t bar = text.find('|');
        if (bar == std::string_view::npos) {
            report("no \"|\": a line is a unit label and its names, Label|name|name");
            continue;
        }
        const std::string_view label = trimmed(text.substr(0, bar));
        if (label.empty()) {
            report("no unit label before the first \"|\"");
            continue;
        }
        int given = 0;
        for (std::size_t from = bar + 1; from <= text.size();) {
            std::size_t stop = text.find('|', from);
            if (stop == std::string_view::npos) stop = text.size();
            const std::string_view name = trimmed(text.substr(from, stop - from));
            from = stop + 1;
            if (name.empty()) continue;
            const std::string key = searchKey(name);
            // Joiners alone: no part.
            if (key.find_first_not_of('-') == std::string::npos) {
                report("the name \"" + std::string(name) +
                       "\" has no letter or digit, so nothing typed can match it");
                continue;
            }
            if (names) {
                if (names->size() == maxNames) return false;
                names->add(label, name, key);
            }
            ++given;
        }
        if (given > 0) {
            if (file) {
                file->nameCount += given;
                file->labels.emplace_back(number, std::string(label));
            }
        } else if (!reported) {
            report("no names after the unit label \"" + std::string(label) + "\"");
        }
    }
    if (file) file->lines = lines;
    return true;
}

NamesFile parseNamesFile(std::string_view bytes, bool keepNames) {
    NamesFile file;
    parseNames(bytes, keepNames ? &file.names : nullptr, &file);
    return file;
}

UnitNames readUnitNames(const std::string& path, std::string* refusal) {
    if (refusal) refusal->clear();
    UnitNames names;
    // Refused before it is read, so that a large file costs nothing.
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    std::string bytes;
    ReadProblem problem = ReadProblem::None;
    if ((!error && size > maxNamesFileSize) ||
        (readWholeFile(path, bytes, &problem) && bytes.size() > maxNamesFileSize) ||
        problem == ReadProblem::TooLarge) {
        if (refusal)
            *refusal = std::filesystem::path(path).filename().string() + " is larger than " +
                       maxNamesFileSizeText +
                       ", the most the program reads of it; units are found by their labels "
                       "alone";
        return names;
    }
    if (!parseNames(bytes, &names, nullptr)) {
        if (refusal)
            *refusal = std::filesystem::path(path).filename().string() + " holds more than " +
                       maxNamesText +
                       " names, the most the program holds; units are found by their labels "
                       "alone";
        return {};
    }
    std::string().swap(bytes);
    names.index();
    return names;
}

std::string namesPathBeside(const std::string& catalogPath) {
    return utf8Path(nativePath(catalogPath).parent_path() / "names.txt");
}
