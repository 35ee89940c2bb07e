#include "cli/file_report.h"

#include "catalog/catalog_file.h"
#include "files/read_problem.h"

#include <ostream>

std::string unreadFileText(ReadProblem problem, const std::string& what, const std::string& path) {
    const std::string refused =
        path.empty() ? readProblemText(problem, what) : readFailureReason(problem, path, what);
    return refused.empty() ? "cannot read " + what : refused;
}

void printProblems(std::ostream& out, const std::string& name,
                   const std::vector<LineProblem>& problems) {
    for (const LineProblem& problem : problems)
        out << name << ":" << problem.line << ": " << problem.message << "\n";
}

std::string catalogReadFailure(ReadProblem problem, const std::string& name) {
    if (problem == ReadProblem::Missing) return "there is no catalog " + name;
    return unreadFileText(problem, "the catalog " + name);
}
