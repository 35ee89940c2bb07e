#pragma once

#include "cli/file_report.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

class ConversionCatalog;
enum class ReadProblem;

// velmora --check names.txt, and the names.txt beside a checked catalog: the lines of a names
// file (search/unit_names.h) that cannot be used, and the labels given names that no category of
// the catalog has, so that their names would never be found.
struct NamesCheck {
    int lines = 0;
    // Distinct labels given names, letter case aside, and the names given.
    int labels = 0;
    int names = 0;
    // In line order.
    std::vector<LineProblem> problems;
};

// None, with the reason in problem when given, when the file cannot be read. The labels are
// checked against catalog when there is one.
std::optional<NamesCheck> checkNamesFile(const std::string& path, const ConversionCatalog* catalog,
                                         const std::string& catalogName,
                                         ReadProblem* problem = nullptr);

// True for a file called names.txt, which --check reads as a names file.
bool isNamesFile(const std::string& path);

// Prints "NAME:LINE: message" for each problem and a summary to out, as runCheck does; the labels
// are checked against the catalog conv.txt beside the file, or, when it cannot be read, not at
// all, which out says. 0 without problems, 1 with some, 2 when the file cannot be read.
int runNamesCheck(const std::string& name, const std::string& path, std::ostream& out,
                  std::ostream& err);

// The same with the catalog given; the status as above.
int printNamesCheck(const std::string& name, const std::string& path,
                    const ConversionCatalog* catalog, const std::string& catalogName,
                    std::ostream& out, std::ostream& err);
