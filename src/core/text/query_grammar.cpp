#include "text/query_grammar.h"

#include "text/text_scan.h"

namespace {

// Whether word is the separator "to", in any letter case.
bool isSeparatorWord(std::string_view word) {
    return word.size() == 2 && (word[0] == 't' || word[0] == 'T') &&
           (word[1] == 'o' || word[1] == 'O');
}

// The end of the word that begins at text[at]: the next blank or arrow, or the text's end.
std::size_t wordEnd(std::string_view text, std::size_t at) {
    while (at < text.size() && !isWhiteSpace(text[at]) && arrowAt(text, at) == 0)
        ++at;
    return at;
}

} // namespace

std::size_t arrowAt(std::string_view text, std::size_t at) {
    const std::string_view rest = text.substr(at);
    if (rest.starts_with(unitArrow)) return unitArrow.size();
    if (rest.starts_with("->")) return 2;
    return 0;
}

std::size_t separatorAt(std::string_view text, std::size_t at) {
    if (const std::size_t arrow = arrowAt(text, at)) return arrow;
    // Only the word's first bytes: a long word costs no more than a short one.
    const std::size_t end = at + 2;
    if (end > text.size() || !isSeparatorWord(text.substr(at, 2))) return 0;
    return end == text.size() || isWhiteSpace(text[end]) || arrowAt(text, end) > 0 ? 2 : 0;
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
