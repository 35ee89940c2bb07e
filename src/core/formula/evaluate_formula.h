#pragma once

#include "formula/formula_code.h"

#include <string_view>

// Translates and computes text (the value already in place of "x") into result. Every exception
// of either stage is caught and gives code 4. result is written only with code 0, or with code 4
// when values were left over.
int evaluateFormula(std::string_view text, double& result);
