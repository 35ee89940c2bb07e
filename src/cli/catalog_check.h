#pragma once

#include "cli/file_report.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class ReadProblem;

// velmora --check [FILE]: the lines of a catalog that will not do what their writer meant.
//
// The file is read as the program reads it (the same pieces, the same fields), and each line
// gets at most one report, the first that applies of:
//  - longer than the reader takes in one piece (255 characters, the line end not counted);
//  - ignored: fewer than five fields once the separators collapse (an empty field between two
//    "|" counts for nothing); lines of nothing but blanks are not reported;
//  - more than six fields, or a sixth that is not a whole number: only the hidden mark 0 belongs
//    there, and text there reads as 0 and hides the category;
//  - a formula that does not compute at x = 1 (an engine code other than 0);
//  - a formula with "^", which is exclusive or in the formula language, not a power;
//  - a formula that gives no finite number at 1 nor at any of a few other values ("x/0");
//  - a repeat of an earlier line's category, From and To labels;
//  - the second of a pair A to B and B to A in one category whose formulas are not inverse:
//    1, 10 and 100 taken there and back, either way round, do not come back to 1e-9 relative.
struct CatalogCheck {
    // Lines as the reader sees them: ended by LF or CR LF, the last one also without.
    int lines = 0;
    // What the program holds after reading the file.
    int categories = 0;
    int conversions = 0;
    // In line order, at most one a line.
    std::vector<LineProblem> problems;
    // "UTF-16" or "UTF-32" when the file is plainly in one (text/wide_encoding.h), else empty.
    std::string_view encoding;
};

// None when the file cannot be read, with the reason in problem when given.
std::optional<CatalogCheck> checkCatalog(const std::string& path, ReadProblem* problem = nullptr);

// Prints "NAME:LINE: message" for each problem and then the summary line to out, and returns
// 0 with no problems, 1 with some; 2, with a message on err, when the file cannot be read. A
// catalog with no conversion at all is a problem too. A file called names.txt is checked as a
// names file (names_check.h); for a catalog, the names.txt beside it, when there is one, is
// checked after it against it.
int runCheck(const std::string& name, const std::string& path, std::ostream& out,
             std::ostream& err);
