#include "text/query_grammar.h"

#include "text/case_fold.h"
#include "text/text_scan.h"

#include <vector>

namespace {

// The words that separate wherever they stand, in any letter case, and the arrows, which
// separate also glued between two words.
constexpr std::string_view separatorWords[] = {"to", "into"};
constexpr std::string_view arrows[] = {unitArrow, "->", "="};
// Words that separate only by position, being units too (the inch; "as" is free for a unit).
constexpr std::string_view positionalSeparators[] = {"in", "as"};
// Words that make a unit with "in" after them ("sq in", "lbf in").
constexpr std::string_view inchMakers[] = {"sq", "square", "cu", "cubic", "lbf", "ozf"};
constexpr std::string_view articles[] = {"a", "an", "one"};

template <std::size_t N> bool isOneOf(std::string_view word, const std::string_view (&list)[N]) {
    for (const std::string_view entry : list)
        if (equalIgnoringCase(word, entry)) return true;
    return false;
}

// The end of the word that begins at text[at]: the next blank or arrow, or the text's end.
std::size_t wordEnd(std::string_view text, std::size_t at) {
    while (at < text.size() && !isWhiteSpace(text[at]) && arrowAt(text, at) == 0)
        ++at;
    return at;
}

// Whether a word is a number as the value reader reads one, with no unit glued to it: digits,
// fractions, decimal and thousands separators, exponents, signs and arithmetic.
bool isNumberWord(std::string_view word) {
    constexpr std::string_view numberSigns = ".,/*+-()eExX";
    constexpr std::string_view signs[] = {"\xE2\x88\x92", "\xC3\x97", "\xC3\xB7"}; // − × ÷
    bool digit = false;
    for (std::size_t i = 0; i < word.size();) {
        const auto c = static_cast<unsigned char>(word[i]);
        const std::string_view rest = word.substr(i);
        if (c >= '0' && c <= '9') {
            digit = true;
            ++i;
        } else if (c < 0x80) {
            if (numberSigns.find(static_cast<char>(c)) == std::string_view::npos) return false;
            ++i;
        } else if (rest.size() >= 2 && c == 0xC2 && static_cast<unsigned char>(rest[1]) >= 0xBC &&
                   static_cast<unsigned char>(rest[1]) <= 0xBE) {
            // ¼ ½ ¾
            digit = true;
            i += 2;
        } else if (rest.size() >= 3 && rest.starts_with("\xE2\x85") &&
                   static_cast<unsigned char>(rest[2]) >= 0x90 &&
                   static_cast<unsigned char>(rest[2]) <= 0x9E) {
            // ⅐ to ⅞
            digit = true;
            i += 3;
        } else {
            bool sign = false;
            for (const std::string_view s : signs)
                if (rest.starts_with(s)) {
                    i += s.size();
                    sign = true;
                }
            if (!sign) return false;
        }
    }
    return digit;
}

struct Token {
    std::string_view text;
    std::size_t begin;
    std::size_t end;
    bool separator;
};

std::vector<Token> tokensOf(std::string_view text) {
    std::vector<Token> tokens;
    QueryTokens scan(text);
    for (QueryToken token; scan.next(token);) {
        const auto begin = static_cast<std::size_t>(token.text.data() - text.data());
        tokens.push_back({token.text, begin, begin + token.text.size(), token.separator});
    }
    return tokens;
}

// Whether "in" or "as" after this token may separate: it ends in a unit, not a number, and
// makes no unit with "in".
bool unitWordBefore(const Token& token) {
    return !token.separator && !isNumberWord(token.text) && !isOneOf(token.text, inchMakers);
}

// The separator of a plain query whose tokens from first on are what is converted and what it
// is converted to; tokens.size() for none.
std::size_t plainSeparator(const std::vector<Token>& tokens, std::size_t first) {
    for (std::size_t i = first; i < tokens.size(); ++i)
        if (tokens[i].separator) return i;
    for (std::size_t i = first + 1; i + 1 < tokens.size(); ++i)
        if (isOneOf(tokens[i].text, positionalSeparators) && unitWordBefore(tokens[i - 1]) &&
            !isNumberWord(tokens[i + 1].text))
            return i;
    return tokens.size();
}

// The words a query may start with that add nothing to it.
std::size_t leadLength(const std::vector<Token>& tokens) {
    const auto is = [&](std::size_t i, std::string_view word) {
        return i < tokens.size() && equalIgnoringCase(tokens[i].text, word);
    };
    if (tokens.size() > 2 && is(0, "what") && is(1, "is")) return 2;
    if (tokens.size() > 1 && (is(0, "convert") || is(0, "what's") || is(0, "what\xE2\x80\x99s")))
        return 1;
    return 0;
}

} // namespace

std::size_t arrowAt(std::string_view text, std::size_t at) {
    for (const std::string_view arrow : arrows)
        if (text.substr(at).starts_with(arrow)) return arrow.size();
    return 0;
}

std::size_t separatorAt(std::string_view text, std::size_t at) {
    if (const std::size_t arrow = arrowAt(text, at)) return arrow;
    // Only as many bytes as the words have: a long word costs no more than a short one.
    for (const std::string_view word : separatorWords) {
        const std::size_t end = at + word.size();
        if (end <= text.size() && equalIgnoringCase(text.substr(at, word.size()), word) &&
            (end == text.size() || isWhiteSpace(text[end]) || arrowAt(text, end) > 0))
            return word.size();
    }
    return 0;
}

std::optional<std::string_view> afterSeparator(std::string_view text) {
    const std::size_t length = separatorAt(text, 0);
    if (length == 0) return std::nullopt;
    return trimmed(text.substr(length));
}

QuerySides querySides(std::string_view text) {
    std::string_view body = trimmed(text);
    while (!body.empty() && (body.back() == '?' || isWhiteSpace(body.back())))
        body.remove_suffix(1);
    const std::vector<Token> tokens = tokensOf(body);
    const std::size_t count = tokens.size();
    // The text of tokens [from, to), which is empty when from >= to.
    const auto between = [&](std::size_t from, std::size_t to) {
        if (from >= to) return body.substr(from < count ? tokens[from].begin : body.size(), 0);
        return body.substr(tokens[from].begin, tokens[to - 1].end - tokens[from].begin);
    };
    const std::size_t first = leadLength(tokens);
    QuerySides sides;
    if (count > first + 2 && equalIgnoringCase(tokens[first].text, "how") &&
        equalIgnoringCase(tokens[first + 1].text, "many")) {
        const std::size_t toStart = first + 2;
        sides.separated = true;
        for (std::size_t i = toStart + 1; i < count; ++i) {
            if (!equalIgnoringCase(tokens[i].text, "in") || !unitWordBefore(tokens[i - 1]))
                continue;
            std::size_t toEnd = i;
            // "are" names the are only where it is the whole To side.
            if (toEnd - 1 > toStart && (equalIgnoringCase(tokens[toEnd - 1].text, "are") ||
                                        equalIgnoringCase(tokens[toEnd - 1].text, "is")))
                --toEnd;
            std::size_t fromStart = i + 1;
            if (fromStart + 1 < count && isOneOf(tokens[fromStart].text, articles)) {
                sides.valueOne = true;
                ++fromStart;
            }
            sides.to = between(toStart, toEnd);
            sides.from = between(fromStart, count);
            return sides;
        }
        sides.to = between(toStart, count);
        return sides;
    }
    const std::size_t separator = plainSeparator(tokens, first);
    sides.from = between(first, separator);
    if (separator < count) {
        sides.separated = true;
        sides.to = between(separator + 1, count);
    }
    return sides;
}

std::size_t separatorPosition(std::string_view text) {
    const std::vector<Token> tokens = tokensOf(text);
    const std::size_t separator = plainSeparator(tokens, 0);
    return separator < tokens.size() ? tokens[separator].begin : text.size();
}

bool QueryTokens::next(QueryToken& token) {
    while (at_ < text_.size() && isWhiteSpace(text_[at_]))
        ++at_;
    if (at_ >= text_.size()) return false;
    if (const std::size_t arrow = arrowAt(text_, at_)) {
        token = {text_.substr(at_, arrow), true, true};
        at_ += arrow;
        return true;
    }
    const std::size_t end = wordEnd(text_, at_);
    const std::string_view word = text_.substr(at_, end - at_);
    token = {word, false, isOneOf(word, separatorWords)};
    at_ = end;
    return true;
}
