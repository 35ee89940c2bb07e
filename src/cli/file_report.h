#pragma once

#include <iosfwd>
#include <string>
#include <vector>

enum class ReadProblem;

// What the command line says of a file it reads: the problems at its lines, and why it was not
// read at all.

struct LineProblem {
    int line = 0;
    std::string message;
};

// Each problem as NAME:LINE: MESSAGE, a line each.
void printProblems(std::ostream& out, const std::string& name,
                   const std::vector<LineProblem>& problems);

// Why the file WHAT ("the catalog conv.txt") was not read: the refusal of a file read unread
// (too large, no regular file, a folder when path is given and is one), else "cannot read WHAT".
std::string unreadFileText(ReadProblem problem, const std::string& what,
                           const std::string& path = {});

// Why --convert could not read a catalog, for a message: "there is no catalog NAME", "the
// catalog NAME is larger than 64 MiB, ...".
std::string catalogReadFailure(ReadProblem problem, const std::string& name);
