// Conversion::evaluate against a general-purpose expression parser doing the same work: parse the
// working text (the formula with the input value in place of x) and compute it, every call.

#include "catalog/catalog.h"
#include "formula/evaluate_formula.h"
#include "formula/working_text.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <cstddef>
#include <muParser.h>
#include <string>
#include <utility>
#include <vector>

namespace {

// Formulas as they stand in a conversion catalog.
const char* const Formulas[] = {
    "x*0.3048",   "(x-32)*5/9",        "x*1000/3600", "235.214583/x", "x*0.45359237/1000",
    "x/1.609344", "(x+459.67)*5/9",    "x*1.8+32",    "x*2.54",       "x/0.0254",
    "x*4.1868",   "(x-273.15)*9/5+32",
};

// What people type: whole numbers, negatives, fractions, values with many digits.
const double Inputs[] = {1, 10, 212, -40, 0.5, 98.6, 1234.5678, -3, 0.0000004, 1.23456789};

struct Case {
    const Conversion* conversion;
    double value;
    std::string workingText;
};

std::vector<Case> makeCases() {
    // The conversions live in a catalog of their own for the whole run.
    static ConversionCatalog catalog;
    Category& category = catalog.addCategory("Bench");
    std::vector<Case> cases;
    for (const char* formula : Formulas) {
        for (const double value : Inputs) {
            Case c;
            c.conversion = &category.addConversion("n", "a", "b", formula);
            c.value = value;
            c.workingText = makeWorkingText(formula, value);
            cases.push_back(std::move(c));
        }
    }
    return cases;
}

const std::vector<Case>& cases() {
    static const std::vector<Case> all = makeCases();
    return all;
}

void ConversionEvaluate(benchmark::State& state) {
    const auto& all = cases();
    std::size_t i = 0;
    for (auto _ : state) {
        const Case& c = all[i];
        benchmark::DoNotOptimize(c.conversion->evaluate(c.value));
        i = i + 1 == all.size() ? 0 : i + 1;
    }
    state.SetItemsProcessed(state.iterations());
}

// The engine alone on the prepared working texts, to compare like with like.
void EvaluateFormulaOnWorkingText(benchmark::State& state) {
    const auto& all = cases();
    std::size_t i = 0;
    for (auto _ : state) {
        double result = 0.0;
        benchmark::DoNotOptimize(evaluateFormula(all[i].workingText, result));
        benchmark::DoNotOptimize(result);
        i = i + 1 == all.size() ? 0 : i + 1;
    }
    state.SetItemsProcessed(state.iterations());
}

void MuparserSetExprEval(benchmark::State& state) {
    const auto& all = cases();
    mu::Parser parser;
    // Both engines must compute the same thing, or the comparison means nothing.
    for (const Case& c : all) {
        parser.SetExpr(c.workingText);
        const double theirs = parser.Eval();
        const double ours = c.conversion->evaluate(c.value);
        if (std::fabs(theirs - ours) > 1e-12 * std::fmax(1.0, std::fabs(ours))) {
            state.SkipWithError(("results differ for " + c.workingText).c_str());
            return;
        }
    }
    std::size_t i = 0;
    for (auto _ : state) {
        parser.SetExpr(all[i].workingText);
        benchmark::DoNotOptimize(parser.Eval());
        i = i + 1 == all.size() ? 0 : i + 1;
    }
    state.SetItemsProcessed(state.iterations());
}

} // namespace

BENCHMARK(ConversionEvaluate);
BENCHMARK(EvaluateFormulaOnWorkingText);
BENCHMARK(MuparserSetExprEval);

BENCHMARK_MAIN();
