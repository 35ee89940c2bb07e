#include "cli/catalog_check.h"

#include "catalog/catalog.h"
#include "catalog/catalog_file.h"
#include "cli/names_check.h"
#include "files/file_system.h"
#include "files/line_reader.h"
#include "files/read_problem.h"
#include "formula/evaluate_formula.h"
#include "formula/number_text.h"
#include "names/unit_names.h"
#include "result.h"
#include "text/case_fold.h"
#include "text/display_text.h"
#include "text/text_scan.h"
#include "text/wide_encoding.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <ostream>
#include <tuple>

namespace {

constexpr std::string_view arrow = " \xE2\x86\x92 "; // " → "

struct Record {
    const Category* category = nullptr;
    const Conversion* conversion = nullptr;
    int line = 0;
    // Only records of whole lines that compute at x = 1 are paired for the inverse check.
    bool pairable = false;
};

using Key = std::tuple<std::string, std::string, std::string>;

std::string describe(const Record& record) {
    return toDisplayText(record.category->name()) + ": " +
           toDisplayText(record.conversion->fromUnit()) + std::string(arrow) +
           toDisplayText(record.conversion->toUnit());
}

// A sign and digits, nothing else: a number the reader takes whole as the hidden mark.
bool isWholeInteger(std::string_view text) {
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) text.remove_prefix(1);
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Values of x a formula that fails to give a finite number at 1 is tried at before it is called
// never a number.
constexpr double probeValues[] = {0.5, 2.0, 10.0, 100.0, -1.0, -10.0, 0.0};

bool givesFiniteNumber(const Conversion& conversion) {
    return std::any_of(std::begin(probeValues), std::end(probeValues), [&](double x) {
        double value = 0.0;
        return conversion.compute(x, value) == FormulaOk && std::isfinite(value);
    });
}

std::string plural(int count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// Whether there and back through first and second gives value back, or why not: each
// conversion's value goes into the next as the window would put it in.
Status roundTrip(const Record& first, const Record& second, double value) {
    double there = 0.0;
    double back = 0.0;
    const int thereCode = first.conversion->compute(value, there);
    const int backCode = thereCode == FormulaOk ? second.conversion->compute(there, back) : 0;
    const std::string start =
        formatExact(value) + " " + toDisplayText(first.conversion->fromUnit());
    if (thereCode != FormulaOk)
        return Failure{start +
                       " cannot be converted: " + std::string(formulaCodeMeaning(thereCode))};
    if (backCode != FormulaOk)
        return Failure{
            start + " gives " + formatExact(there) + " " +
            toDisplayText(first.conversion->toUnit()) +
            ", which cannot be converted back: " + std::string(formulaCodeMeaning(backCode))};
    if (std::fabs(back - value) <= 1e-9 * std::fabs(value)) return {};
    return Failure{start + " there and back gives " + formatExact(back)};
}

class Checker {
  public:
    void addPiece(std::string_view piece) {
        // The file's first bytes, which show a file in UTF-16 or UTF-32.
        if (head_.size() < 1024) head_.append(piece.substr(0, 1024 - head_.size()));
        pieces_.emplace_back(piece);
        if (piece.back() == '\n') finishLine();
    }

    CatalogCheck finish() {
        if (!pieces_.empty()) finishLine();
        result_.encoding = wideEncodingOf(head_);
        result_.categories = catalog_.categoryCount();
        for (int id = 0; id < catalog_.categoryCount(); ++id)
            result_.conversions += catalog_.categoryAt(id)->conversionCount();
        return result_;
    }

  private:
    void finishLine() {
        const int line = ++result_.lines;
        std::size_t length = 0;
        for (const std::string& piece : pieces_)
            length += piece.size();
        if (pieces_.back().back() == '\n') --length;

        // Every piece goes into the catalog, as the program reads it.
        std::vector<Record> added;
        for (const std::string& piece : pieces_)
            if (const Record record = parse(piece, line); record.conversion)
                added.push_back(record);

        if (length > LineReader::maxPiece) {
            report(line, "the line has " + std::to_string(length) +
                             " characters; the reader takes at most " +
                             std::to_string(LineReader::maxPiece) +
                             " at a time and reads the rest as lines of their own");
            for (const Record& record : added)
                remember(record);
        } else {
            // A line of 255 characters arrives whole, its line end alone after it.
            checkWholeLine(pieces_.front(), added.empty() ? Record{} : added.front(), line);
        }
        pieces_.clear();
    }

    Record parse(std::string_view piece, int line) {
        const CatalogLineFields split = splitCatalogLine(piece);
        catalog_.parseLine(piece);
        if (split.ignored()) return {};
        const Category* category = catalog_.findCategory(split.fields[0]);
        return {category, &category->conversions().back(), line, false};
    }

    void checkWholeLine(std::string_view text, Record record, int line) {
        if (!record.conversion) {
            const CatalogLineFields split = splitCatalogLine(text);
            if (trimmed(text.substr(0, text.find('\0'))).empty()) return;
            std::string message = "ignored: " + plural(split.count, "field", "fields") +
                                  " where a conversion needs 5 "
                                  "(category|name|from|to|formula)";
            if (text.find("||") != std::string_view::npos)
                message += "; an empty field between two \"|\" counts for nothing";
            return report(line, message);
        }
        const CatalogLineFields split = splitCatalogLine(text);
        if (split.count > 6) {
            remember(record);
            return report(line, std::to_string(split.count) +
                                    " fields where a conversion has 5 and a hidden category a "
                                    "sixth, 0; the program ignores the sixth and later ones");
        }
        if (const std::string_view sixth = split.sixth;
            split.count == 6 && !isWholeInteger(sixth)) {
            remember(record);
            return report(line, "the sixth field \"" + toDisplayText(sixth) +
                                    "\" is not the hidden mark 0: the program reads it as " +
                                    std::to_string(split.visible) +
                                    (split.visible == 0 ? " and hides" : " and shows") +
                                    " category \"" + toDisplayText(record.category->name()) + "\"");
        }
        const std::string formula = toDisplayText(record.conversion->formula());
        double value = 0.0;
        if (const int code = record.conversion->compute(1.0, value); code != FormulaOk) {
            remember(record);
            return report(line, "the formula \"" + formula + "\" cannot be computed at x = 1: " +
                                    std::string(formulaCodeMeaning(code)) + " (engine code " +
                                    std::to_string(code) + ")");
        }
        if (formula.find('^') != std::string::npos) {
            remember(record);
            return report(line, "the formula \"" + formula +
                                    "\" holds \"^\", which is exclusive or on whole numbers "
                                    "here, not a power (write x*x for a square)");
        }
        if (!std::isfinite(value) && !givesFiniteNumber(*record.conversion)) {
            remember(record);
            return report(line, "the formula \"" + formula +
                                    "\" gives no finite number at x = 1, 0.5, 2, 10, 100, -1, "
                                    "-10 or 0");
        }
        record.pairable = true;
        const Key key{record.category->name(), record.conversion->fromUnit(),
                      record.conversion->toUnit()};
        if (const auto earlier = first_.find(key); earlier != first_.end())
            return report(line, "repeats line " + std::to_string(earlier->second.line) + ", " +
                                    describe(earlier->second));
        remember(record);
        const Key reverse{record.category->name(), record.conversion->toUnit(),
                          record.conversion->fromUnit()};
        const auto pair = first_.find(reverse);
        if (pair == first_.end() || !pair->second.pairable || reverse == key) return;
        for (const auto& [there, back] :
             {std::pair{&pair->second, &record}, std::pair{&record, &pair->second}})
            for (const double start : {1.0, 10.0, 100.0})
                if (const Status done = roundTrip(*there, *back, start); !done)
                    return report(line, "not the inverse of line " +
                                            std::to_string(pair->second.line) + ", " +
                                            describe(pair->second) + ": " + done.why());
    }

    // The first record of each category, From and To.
    void remember(const Record& record) {
        first_.try_emplace(Key{record.category->name(), record.conversion->fromUnit(),
                               record.conversion->toUnit()},
                           record);
    }

    void report(int line, std::string message) {
        result_.problems.push_back({line, std::move(message)});
    }

    ConversionCatalog catalog_;
    CatalogCheck result_;
    std::vector<std::string> pieces_;
    std::string head_;
    std::map<Key, Record> first_;
};

} // namespace

std::optional<CatalogCheck> checkCatalog(const std::string& path, ReadProblem* problem) {
    Checker checker;
    if (!readCatalogPieces(
            path, [&](std::string_view piece) { checker.addPiece(piece); }, problem))
        return std::nullopt;
    return checker.finish();
}

int runCheck(const std::string& name, const std::string& path, std::ostream& out,
             std::ostream& err) {
    if (isNamesFile(path)) return runNamesCheck(name, path, out, err);
    ReadProblem problem = ReadProblem::None;
    const std::optional<CatalogCheck> check = checkCatalog(path, &problem);
    if (!check) {
        err << "velmora: " << unreadFileText(problem, "the catalog " + name, path) << "\n";
        return 2;
    }
    printProblems(out, name, check->problems);
    int problems = static_cast<int>(check->problems.size());
    if (!check->encoding.empty()) {
        out << name << ": saved as " << check->encoding
            << ", where Velmora reads UTF-8 only: save it as UTF-8\n";
        ++problems;
    }
    if (check->conversions == 0) {
        out << name << ": no line holds a conversion, so there is nothing to convert\n";
        ++problems;
    }
    out << name << ": " << plural(check->lines, "line", "lines") << ", "
        << plural(check->categories, "category", "categories") << ", "
        << plural(check->conversions, "conversion", "conversions") << ", "
        << plural(problems, "problem", "problems") << "\n";
    int status = problems == 0 ? 0 : 1;
    // names.txt belongs to the conv.txt beside it: another catalog in that folder is no reason to
    // report every label of it that this one lacks.
    const std::string namesPath = namesPathBeside(path);
    std::error_code error;
    if (!std::filesystem::exists(nativePath(namesPath), error)) return status;
    std::string file = utf8Path(nativePath(path).filename());
    if (!equalIgnoringAsciiCase(file, "conv.txt")) {
        out << namesPathBeside(name) << ": not checked with " << name
            << ", as it belongs to the conv.txt beside it; velmora --check "
            << namesPathBeside(name) << " checks it\n";
        return status;
    }
    {
        ConversionCatalog catalog;
        const bool loaded = catalog.load(path);
        status = std::max(status, printNamesCheck(namesPathBeside(name), namesPath,
                                                  loaded ? &catalog : nullptr, name, out, err));
    }
    return status;
}
