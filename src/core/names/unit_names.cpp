#include "names/unit_names.h"

#include "files/file_system.h"
#include "files/whole_file_reader.h"
#include "text/case_fold.h"
#include "text/display_text.h"
#include "text/search_text.h"
#include "text/text_scan.h"

#include <filesystem>
#include <optional>
#include <unordered_set>

namespace {

constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";

// A name that ends in regions, "gallon@GB,IE": the name and the regions; none for a name without
// "@". tagged is set for a name with one, whether its regions can be read or not.
struct RegionalName {
    std::string_view text;
    std::string_view regions;
};

bool isRegionList(std::string_view regions) {
    for (std::size_t at = 0;; at += 3) {
        if (at + 2 > regions.size()) return false;
        for (const char c : regions.substr(at, 2))
            if (c < 'A' || c > 'Z') return false;
        if (at + 2 == regions.size()) return true;
        if (regions[at + 2] != ',') return false;
    }
}

std::optional<RegionalName> regionalName(std::string_view name, bool& tagged) {
    const std::size_t at = name.rfind('@');
    tagged = at != std::string_view::npos;
    if (!tagged || at == 0 || !isRegionList(name.substr(at + 1))) return std::nullopt;
    return RegionalName{trimmed(name.substr(0, at)), name.substr(at + 1)};
}

bool regionsInclude(std::string_view regions, std::string_view region) {
    for (std::size_t at = 0; at + 2 <= regions.size(); at += 3)
        if (regions.substr(at, 2) == region) return true;
    return false;
}

// The fields after the label of each line that gives names, trimmed and not empty, with the line
// as the user reads it.
template <typename Visit> void forEachField(std::string_view line, Visit visit) {
    const std::size_t bar = line.find('|');
    if (bar == std::string_view::npos) return;
    for (std::size_t from = bar + 1; from <= line.size();) {
        std::size_t stop = line.find('|', from);
        if (stop == std::string_view::npos) stop = line.size();
        const std::string_view field = trimmed(line.substr(from, stop - from));
        from = stop + 1;
        if (!field.empty()) visit(field);
    }
}

// The texts of the regional names of region: no other unit has them there.
std::unordered_set<std::string> regionalTexts(std::string_view bytes, std::string_view region) {
    std::unordered_set<std::string> texts;
    if (region.empty() || bytes.find('@') == std::string_view::npos) return texts;
    for (std::size_t at = 0; at < bytes.size();) {
        std::size_t end = bytes.find('\n', at);
        if (end == std::string_view::npos) end = bytes.size();
        const std::string_view raw = bytes.substr(at, end - at);
        at = end + 1;
        if (raw.find('@') == std::string_view::npos) continue;
        const std::string line = toDisplayText(raw);
        if (trimmed(line).starts_with('#')) continue;
        forEachField(trimmed(line), [&](std::string_view field) {
            bool tagged = false;
            if (const auto name = regionalName(field, tagged);
                name && regionsInclude(name->regions, region))
                texts.emplace(name->text);
        });
    }
    return texts;
}

// The kinds of prefixes of "@si-large binary: B, byte" and their power ("@si cubed: m3"); no
// kinds for kinds that cannot be read.
struct PrefixField {
    unsigned kinds = 0;
    int power = 1;
    std::vector<std::string_view> names;
};

PrefixField prefixField(std::string_view field) {
    const std::size_t colon = field.find(':');
    if (colon == std::string_view::npos) return {};
    PrefixField read;
    std::string_view words = field.substr(1, colon - 1);
    while (!(words = trimmed(words)).empty()) {
        const std::size_t blank = words.find_first_of(" \t");
        const std::string_view word = words.substr(0, blank);
        words = blank == std::string_view::npos ? std::string_view() : words.substr(blank);
        if (word == "squared" || word == "cubed") {
            read.power = word == "squared" ? 2 : 3;
            continue;
        }
        const unsigned kind = word == "si" ? smallSiPrefixes | largeSiPrefixes | decaHectoPrefixes
                              : word == "si-small" ? smallSiPrefixes
                              : word == "si-large" ? largeSiPrefixes
                              : word == "binary"   ? binaryPrefixes
                                                   : 0u;
        if (kind == 0) return {};
        read.kinds |= kind;
    }
    std::string_view rest = field.substr(colon + 1);
    while (!rest.empty()) {
        const std::size_t comma = rest.find(',');
        if (const std::string_view name = trimmed(rest.substr(0, comma)); !name.empty())
            read.names.push_back(name);
        rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
    }
    if (read.names.empty()) read.kinds = 0;
    return read;
}

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

const std::vector<PrefixBase>& UnitNames::prefixBases() const {
    static const std::vector<PrefixBase> none;
    return prefixBases_ ? *prefixBases_ : none;
}

void UnitNames::addPrefixBase(PrefixBase base) {
    if (!prefixBases_)
        prefixBases_ = std::make_shared<std::vector<PrefixBase>>();
    else if (prefixBases_.use_count() > 1)
        prefixBases_ = std::make_shared<std::vector<PrefixBase>>(*prefixBases_);
    prefixBases_->push_back(std::move(base));
}

std::shared_ptr<const NameIndex> UnitNames::index() const {
    if (empty()) return nullptr;
    names_->build();
    return names_;
}

// Reads the lines of bytes into names, and when file is given, what a check reports into it.
// The fields of a line are taken one at a time, so that a line of many "|" costs no more than
// its bytes. False, with the names read so far, when more than maxNames names would be held.
bool parseNames(std::string_view bytes, UnitNames* names, NamesFile* file,
                std::string_view region) {
    if (bytes.starts_with(byteOrderMark)) bytes.remove_prefix(byteOrderMark.size());
    if (names) names->reserve(bytes.size());
    const std::unordered_set<std::string> regional = regionalTexts(bytes, region);
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
            std::string_view name = trimmed(text.substr(from, stop - from));
            from = stop + 1;
            if (name.empty()) continue;
            if (name.front() == '@') {
                const PrefixField field = prefixField(name);
                if (field.kinds == 0)
                    report("\"" + std::string(name) +
                           "\" is no list of prefixes and names, as \"@si: L, l, litre\" (si, "
                           "si-small, si-large, binary, and squared or cubed)");
                else if (names)
                    for (const std::string_view base : field.names)
                        names->addPrefixBase(
                            {std::string(label), std::string(base), field.kinds, field.power});
                continue;
            }
            bool tagged = false;
            if (const auto named = regionalName(name, tagged)) {
                // A regional name counts where the file is checked, and names only there.
                if (!regionsInclude(named->regions, region)) {
                    ++given;
                    continue;
                }
                name = named->text;
            } else if (tagged) {
                report("the name \"" + std::string(name) +
                       "\" ends in no list of regions after its \"@\", as gallon@GB,IE");
                continue;
            } else if (!regional.empty() && regional.contains(std::string(name))) {
                // Another unit's in this region.
                continue;
            }
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

NamesFile parseNamesFile(std::string_view bytes, bool keepNames, std::string_view region) {
    NamesFile file;
    parseNames(bytes, keepNames ? &file.names : nullptr, &file, region);
    return file;
}

UnitNames readUnitNames(const std::string& path, std::string* refusal, std::string_view region) {
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
    if (!parseNames(bytes, &names, nullptr, region)) {
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
