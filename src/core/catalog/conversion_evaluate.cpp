#include "catalog/catalog.h"
#include "formula/evaluate_formula.h"
#include "formula/working_text.h"

double Conversion::evaluate(double value) const {
    double result = 0.0;
    compute(value, result);
    return result;
}

int Conversion::compute(double value, double& result) const {
    result = 0.0;
    try {
        return evaluateFormula(makeWorkingText(formula(), value), result);
    } catch (...) {
        // Only building the working text can throw, for want of memory; the value is then 0.0,
        // like that of every other formula that cannot be computed.
        result = 0.0;
        return FormulaLeftover;
    }
}
