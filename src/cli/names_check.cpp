#include "cli/names_check.h"

#include "catalog/catalog.h"
#include "files/file_system.h"
#include "files/whole_file_reader.h"
#include "names/unit_names.h"
#include "text/case_fold.h"
#include "text/display_text.h"

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <unordered_set>

namespace {

std::string plural(int count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

} // namespace

bool isNamesFile(const std::string& path) {
    return nativePath(path).filename() == "names.txt";
}

std::optional<NamesCheck> checkNamesFile(const std::string& path, const ConversionCatalog* catalog,
                                         const std::string& catalogName, ReadProblem* problem) {
    std::string bytes;
    if (!readWholeFile(path, bytes, problem)) return std::nullopt;
    // The program refuses a file this large; the check says so rather than read it.
    if (bytes.size() > maxNamesFileSize) {
        if (problem) *problem = ReadProblem::TooLarge;
        return std::nullopt;
    }
    NamesFile file = parseNamesFile(bytes, false);
    NamesCheck check;
    check.lines = file.lines;
    check.names = file.nameCount;
    for (NamesProblem& problem : file.problems)
        check.problems.push_back({problem.line, std::move(problem.message)});

    std::unordered_set<std::string> catalogLabels;
    if (catalog)
        for (int id = 0; id < catalog->categoryCount(); ++id)
            for (const auto& conversion : catalog->categoryAt(id)->conversions()) {
                catalogLabels.insert(foldCase(toDisplayText(conversion.fromUnit())));
                catalogLabels.insert(foldCase(toDisplayText(conversion.toUnit())));
            }
    std::unordered_set<std::string> labels;
    for (const auto& [line, label] : file.labels) {
        const std::string folded = foldCase(label);
        labels.insert(folded);
        if (catalog && !catalogLabels.contains(folded))
            check.problems.push_back({line, "no category of " + catalogName + " has the unit \"" +
                                                label + "\", so these names find nothing"});
    }
    check.labels = static_cast<int>(labels.size());
    std::stable_sort(check.problems.begin(), check.problems.end(),
                     [](const LineProblem& a, const LineProblem& b) { return a.line < b.line; });
    return check;
}

int printNamesCheck(const std::string& name, const std::string& path,
                    const ConversionCatalog* catalog, const std::string& catalogName,
                    std::ostream& out, std::ostream& err) {
    ReadProblem problem = ReadProblem::None;
    const std::optional<NamesCheck> check = checkNamesFile(path, catalog, catalogName, &problem);
    if (!check) {
        err << "velmora: "
            << (problem == ReadProblem::TooLarge
                    ? "the names file " + name + " is larger than " + maxNamesFileSizeText +
                          ", the most the program reads of it"
                    : unreadFileText(problem, "the names file " + name, path))
            << "\n";
        return 2;
    }
    printProblems(out, name, check->problems);
    if (!catalog) out << name << ": no catalog " << catalogName << " to check the labels against\n";
    out << name << ": " << plural(check->lines, "line", "lines") << ", "
        << plural(check->labels, "label", "labels") << ", " << plural(check->names, "name", "names")
        << ", " << plural(static_cast<int>(check->problems.size()), "problem", "problems") << "\n";
    return check->problems.empty() ? 0 : 1;
}

int runNamesCheck(const std::string& name, const std::string& path, std::ostream& out,
                  std::ostream& err) {
    const std::string catalogName = utf8Path(nativePath(name).parent_path() / "conv.txt");
    ConversionCatalog catalog;
    const bool loaded = catalog.load(utf8Path(nativePath(path).parent_path() / "conv.txt"));
    return printNamesCheck(name, path, loaded ? &catalog : nullptr, catalogName, out, err);
}
