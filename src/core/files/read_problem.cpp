#include "files/read_problem.h"

std::string readProblemText(ReadProblem problem, std::string_view subject) {
    if (problem == ReadProblem::NotAFile) return std::string(subject) + " is not a regular file";
    if (problem == ReadProblem::TooLarge)
        return std::string(subject) + " is larger than " + maxDataFileSizeText +
               ", the most the program reads";
    return {};
}
