// Arbitrary bytes as a catalog data file: the reader must not crash and the catalog it builds must
// keep its numbering; a catalog that can be written faithfully must read back the same.

#include "catalog/catalog.h"
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

// A written catalog reads back the same unless the file format cannot carry it: an empty field
// vanishes between two separators, and a line longer than one read piece is split in two.
bool writesFaithfully(const ConversionCatalog& catalog, std::string_view text) {
    for (int id = 0; id < catalog.categoryCount(); ++id) {
        const Category& category = *catalog.categoryAt(id);
        if (category.name().empty()) return false;
        for (const auto& conversion : category.conversions())
            if (conversion.name().empty() || conversion.fromUnit().empty() ||
                conversion.toUnit().empty() || conversion.formula().empty())
                return false;
    }
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        if (end - start > 255) return false;
        start = end + 2;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string input = scratch().file("conv.txt");
    writeFile(input, bytes);

    ConversionCatalog catalog;
    check(catalog.load(input));
    const int conversions = checkNumbering(catalog);

    const std::string text = catalog.fileText();
    std::size_t lineEnds = 0;
    for (std::size_t at = text.find("\r\n"); at != std::string::npos;
         at = text.find("\r\n", at + 2))
        ++lineEnds;
    check(lineEnds == static_cast<std::size_t>(conversions));

    const std::string saved = scratch().file("saved.txt");
    check(catalog.save(saved));
    check(readFile(saved) == text);
    ConversionCatalog reloaded;
    check(reloaded.load(saved));
    checkNumbering(reloaded);
    if (writesFaithfully(catalog, text)) {
        check(reloaded.fileText() == text);
        check(reloaded.categoryCount() == catalog.categoryCount());
        // A hidden category stays hidden through a write, and a visible one visible.
        for (int id = 0; id < catalog.categoryCount(); ++id)
            check((reloaded.categoryAt(id)->visible() == 0) ==
                  (catalog.categoryAt(id)->visible() == 0));
    }
    return 0;
}
