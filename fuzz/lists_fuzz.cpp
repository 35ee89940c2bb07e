// Arbitrary bytes as one of the user's list files (favourites.txt, recent.txt, last.txt or
// view.ini) beside a small catalog: the window's model must start, say why lines are not used,
// and after a change and a closing keep every line it did not change, in its order.

#include "catalog/catalog.h"
#include "converter/converter_model.h"
#include "fuzz_scratch.h"
#include "lists/list_file.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

const Scratch& scratch() {
    static const Scratch instance("lists_fuzz");
    return instance;
}

constexpr const char* listFiles[] = {"favourites.txt", "recent.txt", "last.txt", "view.ini"};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::string folder = scratch().file("");
    for (const char* name : listFiles)
        std::remove(scratch().file(name).c_str());
    writeFile(scratch().file("conv.txt"), "Length|a|Feet|Meters|x*0.3048\r\n"
                                          "Length|b|Meters|Feet|x/0.3048\r\n"
                                          "Mass|c|Kilograms|Pounds|x/0.45359237\r\n");
    const char* file = listFiles[data[0] % 4];
    const std::string path = scratch().file(file);
    writeFile(path, bytes);
    const std::vector<std::string> before = readListLines(path);

    ConversionCatalog catalog;
    ConverterModel model(catalog);
    check(model.start(folder).ok());
    check(model.savedNotes().size() <= 4 * 4);
    const ViewChoices choices = model.viewChoices();
    check(choices.numbers == withinRanges(choices.numbers));
    check(model.selectedTab() >= 0 && model.currentConversion());
    model.onInputChanged("1");
    const bool wasFavourite = model.isFavourite();
    check(model.toggleFavourite());
    for (const Status& step : model.close())
        check(step.ok());

    if (std::string_view(file) == "favourites.txt") {
        // Only the current pair's line came or went; every other line stayed, in its order.
        const std::vector<std::string> after = readListLines(path);
        std::vector<std::string> changed;
        for (const auto& [from, in] : {std::pair(&before, &after), std::pair(&after, &before)})
            for (const std::string& line : *from)
                if (std::find(in->begin(), in->end(), line) == in->end() &&
                    std::find(changed.begin(), changed.end(), line) == changed.end())
                    changed.push_back(line);
        check(changed.size() <= 1);
        const auto without = [&](std::vector<std::string> lines) {
            std::erase_if(lines, [&](const std::string& line) {
                return !changed.empty() && line == changed.front();
            });
            return lines;
        };
        check(without(before) == without(after));
        check(!changed.empty() || wasFavourite);
    }
    if (std::string_view(file) == "view.ini") {
        // Nothing changed a choice, so the file is as it was.
        check(readListLines(path) == before);
    }
    return 0;
}
