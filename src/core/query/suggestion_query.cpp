#include "query/suggestion_query.h"

#include "query/query_grammar.h"
#include "query/query_reader.h"
#include "text/text_scan.h"

#include <algorithm>

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The shape Find ranks: the one a separator gives, or the first whose From side holds a word
// that is no number.
QueryShape rankedShape(const std::vector<QueryShape>& shapes) {
    for (const QueryShape& shape : shapes) {
        if (!shape.separated) continue;
        const std::vector<std::string_view> words = queryWords(shape.from);
        if (shape.valueOne || std::any_of(words.begin(), words.end(), [](std::string_view word) {
                return !isDigit(word.front()) && word.front() != '.';
            }))
            return shape;
    }
    return shapes.back();
}

} // namespace

SearchQuery parseSearchQuery(std::string_view utf8, NumberFormat format) {
    const std::string text = normalizedQuery(utf8.substr(0, maxQueryLength), format);
    const Result<std::vector<QueryShape>> shapes = queryShapes(text);
    // Without a way to part it, its words are all of one side.
    const QueryShape shape = shapes ? rankedShape(*shapes) : QueryShape{text, {}, false, false};
    std::string from = shape.from;
    std::string value = shape.valueOne ? "1" : "";
    std::string valueProblem;
    if (!shape.valueOne && !from.empty() &&
        (isDigit(from[0]) || std::string_view("(.+-").find(from[0]) != std::string_view::npos)) {
        const Result<QuantityRead> quantity = readWholeQuantity(from, format);
        // A number alone names no unit to convert: it may be a word of a label ("1/72").
        const bool numberAlone =
            quantity && quantity->parts.size() == 1 && quantity->parts.front().unit.empty();
        if (quantity && !numberAlone) {
            // One number: the value is the number and its unit the From side. Several: the value
            // is the whole quantity, and the From unit the first one's.
            value = quantity->parts.size() == 1 ? quantity->parts.front().number : quantity->text;
            from = quantity->parts.front().unit;
        } else if (!quantity) {
            // No value is taken from what cannot be read wholly: the words stay, and the reason.
            valueProblem = quantity.why();
        }
    }
    SearchQuery query = unitPairQuery(from, shape.to, shape.separated);
    query.value = value;
    query.valueProblem = valueProblem;
    return query;
}
