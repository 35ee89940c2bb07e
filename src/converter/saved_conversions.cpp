#include "converter/saved_conversions.h"

#include "catalog/catalog.h"
#include "lists/saved_pair.h"

#include <algorithm>

namespace {

// The notes a damaged file gives are few, so that they fit where they are shown.
constexpr std::size_t notesPerFile = 3;

SavedConversions::Entry entryOf(const Category& category, const Conversion& conversion,
                                const std::string& value) {
    const std::string line =
        savedPairLine({std::string(category.name()), std::string(conversion.fromUnit()),
                       std::string(conversion.toUnit()), value});
    return {&category, &conversion, savedPairFromLine(line)->value, line};
}

const Conversion* findConversion(const Category& category, const SavedPair& pair) {
    for (const Conversion& conversion : category.conversions())
        if (conversion.fromUnit() == pair.from && conversion.toUnit() == pair.to)
            return &conversion;
    return nullptr;
}

// Moves line to the edits' added lines, out of the removed ones, or the other way round.
void edit(ListEdits& edits, const std::string& line, bool add) {
    std::erase(edits.added, line);
    std::erase(edits.removed, line);
    (add ? edits.added : edits.removed).push_back(line);
}

} // namespace

void SavedConversions::load(const std::string& folder, const ConversionCatalog& catalog) {
    folder_ = folder;
    notes_.clear();
    favourites_ = readEntries(favouritesFile, catalog, favouriteLimit);
    recent_ = readEntries(recentFile, catalog, recentLimit);
    const std::vector<Entry> last = readEntries(lastFile, catalog, 1);
    last_ = last.empty() ? std::nullopt : std::optional<Entry>(last.front());
    favouriteEdits_ = {};
    recentEdits_ = {};
    recentEdits_.addAtTop = true;
    recentEdits_.limit = recentLimit;
    recentEdits_.counts = [](std::string_view line) { return savedPairFromLine(line).has_value(); };
    lastChanged_ = false;
}

std::vector<SavedConversions::Entry> SavedConversions::readEntries(const char* file,
                                                                   const ConversionCatalog& catalog,
                                                                   std::size_t limit) {
    bool readable = true;
    const std::vector<std::string> lines = readListLines(folder_ + file, &readable);
    if (!readable) {
        notes_.push_back(std::string(file) + " could not be read; it is kept as it is.");
        return {};
    }
    std::vector<Entry> entries;
    std::size_t skipped = 0;
    const auto skip = [&](std::size_t number, const std::string& why) {
        if (++skipped <= notesPerFile)
            notes_.push_back(std::string(file) + ", line " + std::to_string(number) + ": " + why +
                             "; the line is kept and not used.");
    };
    for (std::size_t index = 0; index < lines.size() && entries.size() < limit; ++index) {
        const std::string& line = lines[index];
        if (line.find_first_not_of(" \t") == std::string::npos) continue;
        const std::optional<SavedPair> pair = savedPairFromLine(line);
        if (!pair) {
            skip(index + 1, "it is not a conversion of the form Category, From, To, value "
                            "separated by tabs");
            continue;
        }
        const Category* category = catalog.findCategory(pair->category);
        const Conversion* conversion = category ? findConversion(*category, *pair) : nullptr;
        if (!conversion) {
            skip(index + 1, category ? pair->category + " has no conversion from " + pair->from +
                                           " to " + pair->to
                                     : "conv.txt has no category " + pair->category);
            continue;
        }
        entries.push_back({category, conversion, pair->value, line});
    }
    if (skipped > notesPerFile)
        notes_.push_back(std::string(file) + ": " + std::to_string(skipped - notesPerFile) +
                         " more lines are kept and not used.");
    return entries;
}

bool SavedConversions::isFavourite(const Conversion& conversion) const {
    return std::any_of(favourites_.begin(), favourites_.end(),
                       [&](const Entry& entry) { return entry.conversion == &conversion; });
}

void SavedConversions::toggleFavourite(const Category& category, const Conversion& conversion) {
    const auto marked = std::find_if(favourites_.begin(), favourites_.end(),
                                     [&](const Entry& e) { return e.conversion == &conversion; });
    if (marked != favourites_.end()) {
        edit(favouriteEdits_, marked->line, false);
        favourites_.erase(marked);
        return;
    }
    favourites_.push_back(entryOf(category, conversion, {}));
    edit(favouriteEdits_, favourites_.back().line, true);
}

void SavedConversions::addRecent(const Category& category, const Conversion& conversion,
                                 const std::string& value) {
    Entry entry = entryOf(category, conversion, value);
    std::erase_if(recent_, [&](const Entry& other) { return other.line == entry.line; });
    // Newest first in the edits too: the last added goes to the top.
    std::erase(recentEdits_.added, entry.line);
    std::erase(recentEdits_.removed, entry.line);
    recentEdits_.added.insert(recentEdits_.added.begin(), entry.line);
    recent_.insert(recent_.begin(), std::move(entry));
    if (recent_.size() > recentLimit) recent_.pop_back();
}

void SavedConversions::clearRecent() {
    for (const Entry& entry : recent_)
        edit(recentEdits_, entry.line, false);
    for (const std::string& line : std::vector<std::string>(recentEdits_.added))
        edit(recentEdits_, line, false);
    recent_.clear();
}

void SavedConversions::setLast(const Category& category, const Conversion& conversion,
                               const std::string& value) {
    Entry entry = entryOf(category, conversion, value);
    if (last_ && last_->line == entry.line) return;
    last_ = std::move(entry);
    lastChanged_ = true;
}

std::vector<SavedConversions::Written> SavedConversions::save() {
    std::vector<Written> written;
    if (!favouriteEdits_.empty())
        written.push_back(
            {favouritesFile, saveListEdits(folder_ + favouritesFile, favouriteEdits_)});
    if (!recentEdits_.empty())
        written.push_back({recentFile, saveListEdits(folder_ + recentFile, recentEdits_), false});
    if (lastChanged_ && last_)
        written.push_back(
            {lastFile, writeWholeFile(folder_ + lastFile, last_->line + "\r\n"), false});
    favouriteEdits_.added.clear();
    favouriteEdits_.removed.clear();
    recentEdits_.added.clear();
    recentEdits_.removed.clear();
    lastChanged_ = false;
    return written;
}
