#include "text/query_grammar.h"

#include "text/text_scan.h"

namespace {

// The words that separate, in any letter case, and the arrows, which separate also glued between
// two words.
constexpr std::string_view separatorWords[] = {"to"};
constexpr std::string_view arrows[] = {unitArrow, "->"};

bool equalIgnoringAsciiCase(std::string_view text, std::string_view word) {
    if (text.size() != word.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i] >= 'A' && text[i] <= 'Z' ? static_cast<char>(text[i] + 32) : text[i];
        if (c != word[i]) return false;
    }
    return true;
}

bool isSeparatorWord(std::string_view word) {
    for (const std::string_view separator : separatorWords)
        if (equalIgnoringAsciiCase(word, separator)) return true;
    return false;
}

// The end of the word that begins at text[at]: the next blank or arrow, or the text's end.
std::size_t wordEnd(std::string_view text, std::size_t at) {
    while (at < text.size() && !isWhiteSpace(text[at]) && arrowAt(text, at) == 0)
        ++at;
    return at;
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
        if (end <= text.size() && equalIgnoringAsciiCase(text.substr(at, word.size()), word) &&
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
    token = {word, false, isSeparatorWord(word)};
    at_ = end;
    return true;
}
