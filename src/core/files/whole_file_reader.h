#pragma once

#include "files/read_problem.h"

#include <string>

// The whole content of the regular file at path into bytes. False, with the reason in problem
// when given, when it is missing, is no regular file (a folder, a device, a pipe: none is read,
// so none can block or run on forever), is larger than maxDataFileSize, or cannot be read.
bool readWholeFile(const std::string& path, std::string& bytes, ReadProblem* problem = nullptr);
