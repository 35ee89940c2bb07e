#include "query/query_grammar.h"

#include "text/case_fold.h"
#include "text/text_scan.h"

#include <algorithm>
#include <iterator>

namespace {

// Words that separate wherever they stand, in any letter case, and the arrows, which separate
// also glued between two words.
constexpr std::string_view separatorWords[] = {"to", "into"};
constexpr std::string_view arrows[] = {"\xE2\x86\x92", "->", "="};
// Words that separate only where nothing else does, being units too (the inch; "as" is free
// for a unit).
constexpr std::string_view positionalSeparators[] = {"in", "as"};
constexpr std::string_view articles[] = {"a", "an", "one"};

// Characters written in place of plain ones: compatibility forms, and spaces of other widths.
struct Replacement {
    std::string_view from;
    std::string_view to;
};
// clang-format off
constexpr Replacement replacements[] = {
    {"\xE2\x84\x83", "\xC2\xB0" "C"}, // ℃
    {"\xE2\x84\x89", "\xC2\xB0" "F"}, // ℉
    {"\xE2\x84\xAA", "K"},            // the Kelvin sign
    {"\xE2\x84\xAB", "\xC3\x85"},     // the Ångström sign, as Å
    {"\xE2\x81\x84", "/"},            // the fraction slash
    {"\xE2\x80\x82", " "}, {"\xE2\x80\x83", " "}, {"\xE2\x80\x84", " "}, {"\xE2\x80\x85", " "},
    {"\xE2\x80\x86", " "}, {"\xE2\x80\x87", " "}, {"\xE2\x80\x88", " "}, {"\xE2\x80\x89", " "},
    {"\xE2\x80\x8A", " "}, {"\xE3\x80\x80", " "},
};
// clang-format on

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

template <std::size_t N> bool isOneOf(std::string_view word, const std::string_view (&list)[N]) {
    for (const std::string_view entry : list)
        if (equalIgnoringCase(word, entry)) return true;
    return false;
}

std::size_t arrowAt(std::string_view text, std::size_t at) {
    for (const std::string_view arrow : arrows)
        if (text.substr(at).starts_with(arrow)) return arrow.size();
    return 0;
}

bool isHardSeparator(std::string_view word) {
    return isOneOf(word, separatorWords) || (arrowAt(word, 0) == word.size() && !word.empty());
}

// The words of a query with where each begins, so that the text between two of them is a view
// of the query.
struct Word {
    std::string_view text;
    std::size_t begin;
    std::size_t end;
};

std::vector<Word> wordsOf(std::string_view text) {
    std::vector<Word> words;
    for (const std::string_view word : queryWords(text)) {
        const auto begin = static_cast<std::size_t>(word.data() - text.data());
        words.push_back({word, begin, begin + word.size()});
    }
    return words;
}

class Shaper {
  public:
    Shaper(std::string_view text, std::vector<Word> words)
        : text_(text), words_(std::move(words)) {}

    // The text of words [from, to); empty when from >= to.
    std::string between(std::size_t from, std::size_t to) const {
        if (from >= to) return {};
        return std::string(
            text_.substr(words_[from].begin, words_[to - 1].end - words_[from].begin));
    }
    std::size_t size() const { return words_.size(); }
    const Word& operator[](std::size_t i) const { return words_[i]; }

    // A shape whose From side is words [fromBegin, fromEnd): an article before more words is
    // the amount 1.
    QueryShape shape(std::size_t fromBegin, std::size_t fromEnd, std::string to,
                     bool separated) const {
        QueryShape shape;
        if (fromEnd - fromBegin > 1 && fromBegin < fromEnd &&
            isOneOf(words_[fromBegin].text, articles)) {
            shape.valueOne = true;
            ++fromBegin;
        }
        shape.from = between(fromBegin, fromEnd);
        shape.to = std::move(to);
        shape.separated = separated;
        return shape;
    }

  private:
    std::string_view text_;
    std::vector<Word> words_;
};

// The words a query may start with that add nothing to it.
std::size_t leadLength(const Shaper& words) {
    const auto is = [&](std::size_t i, std::string_view word) {
        return i < words.size() && equalIgnoringCase(words[i].text, word);
    };
    if (words.size() > 2 && is(0, "what") && (is(1, "is") || is(1, "are"))) return 2;
    if (words.size() > 1 && (is(0, "convert") || is(0, "what's") || is(0, "what\xE2\x80\x99s")))
        return 1;
    return 0;
}

std::vector<QueryShape> howManyShapes(const Shaper& words, std::size_t first) {
    std::vector<QueryShape> shapes;
    const std::size_t toBegin = first + 2;
    for (std::size_t i = toBegin + 1; i + 1 < words.size(); ++i) {
        if (!equalIgnoringCase(words[i].text, "in")) continue;
        std::size_t toEnd = i;
        // "are" names the are only where it is the whole To side.
        if (toEnd - 1 > toBegin && (equalIgnoringCase(words[toEnd - 1].text, "are") ||
                                    equalIgnoringCase(words[toEnd - 1].text, "is")))
            --toEnd;
        shapes.push_back(words.shape(i + 1, words.size(), words.between(toBegin, toEnd), true));
    }
    if (shapes.empty())
        shapes.push_back(words.shape(0, 0, words.between(toBegin, words.size()), true));
    return shapes;
}

} // namespace

std::string normalizedQuery(std::string_view text, const NumberFormat& format) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        // Every character replaced is outside ASCII.
        if (static_cast<unsigned char>(text[at]) < 0x80) {
            out += text[at++];
            continue;
        }
        if (const std::size_t space = noBreakSpaceAt(text, at)) {
            // Between two digits it may group thousands; elsewhere it is a blank.
            const bool grouping = format.spaceGroups && !out.empty() && isDigit(out.back()) &&
                                  at + space < text.size() && isDigit(text[at + space]);
            out += grouping ? text.substr(at, space) : " ";
            at += space;
            continue;
        }
        bool replaced = false;
        for (const Replacement& replacement : replacements)
            if (text.substr(at).starts_with(replacement.from)) {
                out += replacement.to;
                at += replacement.from.size();
                replaced = true;
                break;
            }
        if (!replaced) out += text[at++];
    }
    return out;
}

DifferenceMarks withoutDifferenceMarks(std::string_view normalized) {
    // Δ, the increment sign ∆ and δ; ° and º, often typed for it.
    constexpr std::string_view deltas[] = {"\xCE\x94", "\xE2\x88\x86", "\xCE\xB4"};
    constexpr std::string_view degrees[] = {"\xC2\xB0", "\xC2\xBA"};
    const auto isLetter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    DifferenceMarks marks;
    std::string& out = marks.text;
    for (std::size_t at = 0; at < normalized.size();) {
        const std::string_view rest = normalized.substr(at);
        const auto starts = [&](std::string_view mark) { return rest.starts_with(mark); };
        if (const auto delta = std::find_if(std::begin(deltas), std::end(deltas), starts);
            delta != std::end(deltas)) {
            marks.marked = true;
            at += delta->size();
            continue;
        }
        const auto degree = std::find_if(std::begin(degrees), std::end(degrees), starts);
        if (degree != std::end(degrees) && !out.empty() && isLetter(out.back()) &&
            (rest.size() == degree->size() || !isLetter(rest[degree->size()]))) {
            marks.marked = true;
            at += degree->size();
            continue;
        }
        // The word "delta", standing alone.
        const bool wordStart = out.empty() || isWhiteSpace(out.back());
        if (wordStart && rest.size() >= 5 && equalIgnoringAsciiCase(rest.substr(0, 5), "delta") &&
            (rest.size() == 5 || isWhiteSpace(rest[5]))) {
            marks.marked = true;
            at += 5;
            continue;
        }
        out += normalized[at++];
    }
    return marks;
}

std::vector<std::string_view> queryWords(std::string_view text) {
    std::vector<std::string_view> words;
    std::size_t at = 0;
    while (at < text.size()) {
        if (isWhiteSpace(text[at])) {
            ++at;
            continue;
        }
        if (const std::size_t arrow = arrowAt(text, at)) {
            words.push_back(text.substr(at, arrow));
            at += arrow;
            continue;
        }
        std::size_t end = at;
        while (end < text.size() && !isWhiteSpace(text[end]) && arrowAt(text, end) == 0)
            ++end;
        words.push_back(text.substr(at, end - at));
        at = end;
    }
    return words;
}

Result<std::vector<QueryShape>> queryShapes(std::string_view text) {
    // Each way to part a query copies it: a page pasted would cost its square.
    if (text.size() > maxValueLength)
        return Failure{"The query is longer than " + std::to_string(maxValueLength) +
                       " characters, more than any query needs."};
    std::string_view body = trimmed(text);
    while (!body.empty() && (body.back() == '?' || isWhiteSpace(body.back())))
        body.remove_suffix(1);
    const Shaper words(body, wordsOf(body));
    const std::size_t count = words.size();
    const std::size_t first = leadLength(words);
    if (count > first + 2 && equalIgnoringCase(words[first].text, "how") &&
        equalIgnoringCase(words[first + 1].text, "many"))
        return howManyShapes(words, first);

    std::vector<std::size_t> separators;
    for (std::size_t i = first; i < count; ++i)
        if (isHardSeparator(words[i].text)) separators.push_back(i);
    if (separators.size() > 1)
        return Failure{"\"" + std::string(words[separators[0]].text) + "\" and \"" +
                       std::string(words[separators[1]].text) +
                       "\" both separate what is converted from what it is converted to; write "
                       "one of them, as in \"5 km to mi\"."};
    std::vector<QueryShape> shapes;
    if (separators.size() == 1) {
        const std::size_t at = separators.front();
        shapes.push_back(words.shape(first, at, words.between(at + 1, count), true));
        return shapes;
    }
    for (std::size_t i = first + 1; i + 1 < count; ++i)
        if (isOneOf(words[i].text, positionalSeparators))
            shapes.push_back(words.shape(first, i, words.between(i + 1, count), true));
    shapes.push_back(words.shape(first, count, {}, false));
    return shapes;
}
