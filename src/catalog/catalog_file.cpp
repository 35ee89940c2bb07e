// The catalog's text file: one conversion a line, fields separated by "|".
#include "catalog/catalog_file.h"

#include "catalog/catalog.h"
#include "catalog/line_reader.h"
#include "catalog/text_scan.h"
#include "catalog/whole_file_writer.h"

#include <cstdio>
#include <filesystem>
#include <memory>

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

} // namespace

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

bool forEachCatalogPiece(const std::string& path,
                         const std::function<void(std::string_view piece)>& visit) {
    // Some systems open a folder for reading; it holds no catalog all the same.
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) return false;
    std::unique_ptr<std::FILE, decltype(&std::fclose)> file(std::fopen(path.c_str(), "rb"),
                                                            &std::fclose);
    if (!file) return false;
    LineReader reader(file.get());
    std::string piece;
    while (reader.next(piece))
        visit(piece);
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
    return forEachCatalogPiece(path, [this](std::string_view piece) { parseLine(piece); });
}

std::string ConversionCatalog::fileText() const {
    std::string text;
    for (int id = 0; id < categoryCount(); ++id) {
        const Category& category = *categoryAt(id);
        for (const auto& conversion : category.conversions()) {
            text.append(category.name()).append("|").append(conversion->name).append("|");
            text.append(conversion->fromUnit).append("|").append(conversion->toUnit).append("|");
            text += conversion->formula;
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
