// Arbitrary bytes as a catalog data file: the reader must not crash and the catalog it builds must
// keep its numbering; a catalog that can be written faithfully must read back the same.

#include "catalog/catalog.h"
#include "catalog/catalog_file.h"
#include "files/line_reader.h"
#include "fuzz_scratch.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace {

const Scratch& scratch() {
    static const Scratch instance("catalog_fuzz");
    return instance;
}

std::string readFile(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    check(file != nullptr);
    std::string bytes;
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
        bytes.append(buffer, got);
    check(std::fclose(file) == 0);
    return bytes;
}

// Ids equal positions everywhere, and source-unit groups are numbered 0..k-1 in order of first
// use, one per distinct label. Returns the number of conversions.
int checkNumbering(const ConversionCatalog& catalog) {
    int total = 0;
    for (int id = 0; id < catalog.categoryCount(); ++id) {
        const Category* category = catalog.categoryAt(id);
        check(category != nullptr && category->id() == id);
        check(catalog.findCategory(category->name()) == category);
        check(category->conversionCount() > 0);

        check(category->fromUnitCount() == category->nextFromGroup());
        for (int g = 0; g < category->fromUnitCount(); ++g) {
            check(category->fromUnitAt(g).group == g);
            check(category->findFromGroup(category->fromUnitAt(g).label) == g);
        }

        int nextNewGroup = 0;
        const auto& conversions = category->conversions();
        for (std::size_t i = 0; i < conversions.size(); ++i) {
            const Conversion& conversion = conversions[i];
            check(conversion.id() == static_cast<int>(i));
            check(category->conversionAt(conversion.id()) == &conversion);
            check(conversion.fromGroup() >= 0 &&
                  conversion.fromGroup() < category->nextFromGroup());
            check(category->findFromGroup(conversion.fromUnit()) == conversion.fromGroup());
            // Groups are handed out in the order their labels first appear.
            check(conversion.fromGroup() <= nextNewGroup);
            if (conversion.fromGroup() == nextNewGroup) ++nextNewGroup;
        }
        check(nextNewGroup == category->nextFromGroup());
        check(category->conversionAt(category->conversionCount()) == nullptr);
        total += category->conversionCount();
    }
    check(catalog.categoryAt(catalog.categoryCount()) == nullptr);
    return total;
}

// The pieces taken in place are the pieces the line reader takes, with CR LF read as LF.
void checkPieces(std::string_view bytes) {
    std::vector<std::string> inPlace;
    forEachCatalogPiece(bytes, [&](std::string_view piece) { inPlace.emplace_back(piece); });
    LineReader reader(bytes.starts_with("\xEF\xBB\xBF") ? bytes.substr(3) : bytes);
    std::string piece;
    std::size_t at = 0;
    while (reader.next(piece))
        check(at < inPlace.size() && inPlace[at++] == piece);
    check(at == inPlace.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string input = scratch().file("conv.txt");
    writeFile(input, bytes);

    ConversionCatalog catalog;
    check(catalog.load(input));
    checkNumbering(catalog);

    checkPieces(bytes);

    // Unchanged, the file is written back byte for byte.
    check(catalog.fileText() == std::optional<std::string>(std::string(bytes)));

    // Every category shown or hidden the other way: only marks change, and they say so.
    for (int id = 0; id < catalog.categoryCount(); ++id)
        catalog.categoryAt(id)->setVisible(catalog.categoryAt(id)->visible() == 0 ? 1 : 0);
    const std::optional<std::string> text = catalog.fileText();
    if (!text) return 0;
    const std::string saved = scratch().file("saved.txt");
    check(catalog.save(saved));
    check(readFile(saved) == *text);
    ConversionCatalog reloaded;
    check(reloaded.load(saved));
    checkNumbering(reloaded);
    check(reloaded.categoryCount() == catalog.categoryCount());
    for (int id = 0; id < catalog.categoryCount(); ++id) {
        const Category& was = *catalog.categoryAt(id);
        const Category& is = *reloaded.categoryAt(id);
        check(was.name() == is.name() && was.conversionCount() == is.conversionCount());
        check((was.visible() == 0) == (is.visible() == 0));
    }
    return 0;
}
