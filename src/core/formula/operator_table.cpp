#include "formula/operator_table.h"

#include <cstddef>

int matchOperator(std::string_view rest) {
    std::size_t run = 0;
    while (run < rest.size() && formula_chars::isOperator(rest[run]))
        ++run;
    // No operator is longer than two characters, so a longer run cannot match.
    if (run == 0 || run > 2) return -1;
    const std::string_view token = rest.substr(0, run);
    for (std::size_t i = 1; i < OperatorTable.size(); ++i) {
        if (OperatorTable[i].text == token) return static_cast<int>(i);
    }
    return -1;
}

std::size_t scanOperand(std::string_view rest) {
    std::size_t length = 0;
    while (length < rest.size() && formula_chars::isOperand(rest[length]))
        ++length;
    return length;
}
