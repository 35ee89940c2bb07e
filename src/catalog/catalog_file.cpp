// The catalog's text file: one conversion a line, fields separated by "|".
#include "catalog/catalog_file.h"

#include "catalog/catalog.h"
#include "catalog/line_reader.h"
#include "catalog/text_scan.h"
#include "catalog/whole_file_writer.h"

#include <cstdint>

namespace {

// Splits at "|" the way a tokenizer does: runs of separators count as one, and separators at the
// start or the end give no field, so no field is empty.
template <typename Visit> void forEachField(std::string_view line, Visit visit) {
    std::size_t at = 0;
    while (true) {
        at = line.find_first_not_of('|', at);
        if (at == std::string_view::npos) return;
        std::size_t end = line.find('|', at);
        if (end == std::string_view::npos) end = line.size();
        visit(line.substr(at, end - at));
        at = end;
    }
}

constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";

// A blank field is written as one blank: the reader trims it back to nothing, where an empty
// field would vanish between two separators and shift the fields after it.
std::string& appendField(std::string& text, std::string_view field) {
    if (field.empty()) return text += ' ';
    return text.append(field);
}

std::uint64_t fingerprintOf(std::string_view bytes) {
    // FNV-1a over eight bytes at a time, read in one fixed order: the same bytes give the same
    // value in every run and on every platform, and a catalog of megabytes takes a millisecond.
    std::uint64_t hash = 14695981039346656037ull;
    std::size_t at = 0;
    for (; at + 8 <= bytes.size(); at += 8) {
        std::uint64_t word = 0;
        for (int k = 7; k >= 0; --k)
            word = word << 8 | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(k)]);
        hash ^= word;
        hash *= 1099511628211ull;
    }
    for (; at < bytes.size(); ++at) {
        hash ^= static_cast<unsigned char>(bytes[at]);
        hash *= 1099511628211ull;
    }
    return hash;
}

} // namespace

bool ConversionCatalog::saveKeepingDiskEdits(const std::string& path, FileOps& ops) const {
    std::string bytes;
    if (!readWholeFile(path, bytes)) return false;
    if (fingerprintOf(bytes) == loadedFingerprint_) return save(path, ops);
    ConversionCatalog onDisk;
    onDisk.loadText(bytes);
    for (const auto& category : categories_) {
        const auto id = static_cast<std::size_t>(category->id());
        const bool chosen = id >= loadedFlags_.size() || loadedFlags_[id] != category->visible();
        if (!chosen) continue;
        if (Category* same = onDisk.findCategory(category->name()))
            same->setVisible(category->visible());
    }
    return onDisk.save(path, ops);
}

bool ConversionCatalog::saveKeepingDiskEdits(const std::string& path) const {
    return saveKeepingDiskEdits(path, FileOps::real());
}

CatalogLineFields splitCatalogLine(std::string_view line) {
    // A NUL byte ends the text of a line, as it would for any C string reader.
    line = line.substr(0, line.find('\0'));
    CatalogLineFields split;
    forEachField(line, [&](std::string_view field) {
        field = trimmed(field);
        split.visible = 1;
        if (split.count < 5)
            split.fields[split.count] = field;
        else if (split.count == 5)
            split.visible = leadingInteger(field);
        ++split.count;
    });
    return split;
}

void forEachCatalogPiece(std::string_view bytes,
                         const std::function<void(std::string_view piece)>& visit) {
    if (bytes.starts_with(byteOrderMark)) bytes.remove_prefix(byteOrderMark.size());
    LineReader reader(bytes);
    std::string piece;
    while (reader.next(piece))
        visit(piece);
}

bool readCatalogPieces(const std::string& path,
                       const std::function<void(std::string_view piece)>& visit) {
    std::string bytes;
    if (!readWholeFile(path, bytes)) return false;
    forEachCatalogPiece(std::string_view(bytes), visit);
    return true;
}

void ConversionCatalog::parseLine(std::string_view line) {
    const CatalogLineFields split = splitCatalogLine(line);
    if (split.ignored()) return;
    const auto& fields = split.fields;
    Category* category = findCategory(fields[0]);
    if (!category) category = &addCategory(fields[0]);
    category->setVisible(split.visible);
    category->addConversion(fields[1], fields[2], fields[3], fields[4]);
}

bool ConversionCatalog::load(const std::string& path) {
    std::string bytes;
    if (!readWholeFile(path, bytes)) return false;
    loadText(bytes);
    return true;
}

void ConversionCatalog::loadText(std::string_view bytes) {
    loadedFingerprint_ = fingerprintOf(bytes);
    byteOrderMark_ = bytes.starts_with(byteOrderMark);
    forEachCatalogPiece(bytes, [this](std::string_view piece) { parseLine(piece); });
    loadedFlags_.clear();
    for (const auto& category : categories_)
        loadedFlags_.push_back(category->visible());
}

std::string ConversionCatalog::fileText() const {
    std::string text;
    // The reader skips a mark at the very start, so a name that begins with one (from a mark in
    // the middle of the file) needs a mark of its own before it to read back the same.
    const bool firstNameHasMark = categoryCount() > 0 && categoryAt(0)->conversionCount() > 0 &&
                                  categoryAt(0)->name().starts_with(byteOrderMark);
    if (byteOrderMark_ || firstNameHasMark) text += byteOrderMark;
    for (int id = 0; id < categoryCount(); ++id) {
        const Category& category = *categoryAt(id);
        for (const auto& conversion : category.conversions()) {
            appendField(text, category.name()) += '|';
            appendField(text, conversion.name()) += '|';
            appendField(text, conversion.fromUnit()) += '|';
            appendField(text, conversion.toUnit()) += '|';
            appendField(text, conversion.formula());
            if (category.visible() == 0) text += "|0";
            text += "\r\n";
        }
    }
    return text;
}

bool ConversionCatalog::save(const std::string& path, FileOps& ops) const {
    return writeWholeFile(path, fileText(), ops);
}

bool ConversionCatalog::save(const std::string& path) const {
    return save(path, FileOps::real());
}
