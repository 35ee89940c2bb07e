#include "qt/help/page_style.h"

#include "help/html_scan.h"
#include "text/case_fold.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

std::string_view trim(std::string_view text) {
    while (!text.empty() && isHtmlSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isHtmlSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string lowerCase(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), asciiLower);
    return out;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = asciiLower(c);
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// Words a colour value may hold that name no colour.
bool isColourlessWord(std::string_view word) {
    static constexpr std::string_view words[] = {
        "inherit",   "initial",  "unset",    "currentcolor", "transparent", "none", "repeat",
        "no-repeat", "repeat-x", "repeat-y", "scroll",       "fixed",       "top",  "bottom",
        "left",      "right",    "center",   "!important",   "auto",        "/"};
    return std::find(std::begin(words), std::end(words), word) != std::end(words);
}

// A length or a position ("10px", "-2em", "50%"), which is never a colour.
bool isLength(std::string_view word) {
    if (!word.empty() && (word.front() == '-' || word.front() == '+')) word.remove_prefix(1);
    return !word.empty() && ((word.front() >= '0' && word.front() <= '9') || word.front() == '.');
}

// A colour value's words, with "rgb(...)" kept as one.
std::vector<std::string> valueWords(std::string_view value) {
    std::vector<std::string> words;
    std::string word;
    int depth = 0;
    for (char c : value) {
        depth += c == '(' ? 1 : c == ')' ? -1 : 0;
        if (isHtmlSpace(c) && depth <= 0) {
            if (!word.empty()) words.push_back(lowerCase(word));
            word.clear();
        } else {
            word += c;
        }
    }
    if (!word.empty()) words.push_back(lowerCase(word));
    return words;
}

// Whether a declaration of property with value keeps readable colours; for a text colour, the
// colour to put in its place when not.
enum class Fit { Keep, UseText, Drop };

Fit fitDeclaration(std::string_view property, std::string_view value, const PageColours& theme) {
    const bool text = property == "color";
    if (!text && property != "background" && property != "background-color") return Fit::Keep;
    for (std::string word : valueWords(value)) {
        if (word.size() > 10 && word.ends_with("!important")) word.resize(word.size() - 10);
        if (isColourlessWord(word) || word.starts_with("url(") || isLength(word)) continue;
        // A word that is no colour we know may still be one (hsl(), a system colour): treat it
        // as unreadable.
        const std::optional<Rgb> colour = parseCssColour(word);
        const bool readable =
            colour && (text ? contrastRatio(*colour, theme.base) >= minimumContrast
                            : contrastRatio(*colour, theme.text) >= minimumContrast &&
                                  contrastRatio(*colour, theme.link) >= minimumContrast);
        if (!readable) return text ? Fit::UseText : Fit::Drop;
    }
    return Fit::Keep;
}

} // namespace

std::optional<Rgb> parseCssColour(std::string_view text) {
    const std::string value = lowerCase(trim(text));
    if (value.starts_with('#')) {
        const std::string_view digits = std::string_view(value).substr(1);
        if (digits.size() != 3 && digits.size() != 6) return std::nullopt;
        int channels[3];
        const std::size_t width = digits.size() / 3;
        for (std::size_t i = 0; i < 3; ++i) {
            const int high = hexDigit(digits[i * width]);
            const int low = width == 2 ? hexDigit(digits[i * width + 1]) : high;
            if (high < 0 || low < 0) return std::nullopt;
            channels[i] = high * 16 + low;
        }
        return Rgb{static_cast<std::uint8_t>(channels[0]), static_cast<std::uint8_t>(channels[1]),
                   static_cast<std::uint8_t>(channels[2])};
    }
    if (value.starts_with("rgb(") && value.ends_with(')')) {
        std::string_view rest = std::string_view(value).substr(4, value.size() - 5);
        int channels[3];
        for (int& channel : channels) {
            rest = trim(rest);
            const auto [end, error] =
                std::from_chars(rest.data(), rest.data() + rest.size(), channel);
            if (error != std::errc() || channel < 0 || channel > 255) return std::nullopt;
            rest.remove_prefix(static_cast<std::size_t>(end - rest.data()));
            rest = trim(rest);
            if (!rest.empty() && rest.front() == ',') rest.remove_prefix(1);
        }
        if (!trim(rest).empty()) return std::nullopt;
        return Rgb{static_cast<std::uint8_t>(channels[0]), static_cast<std::uint8_t>(channels[1]),
                   static_cast<std::uint8_t>(channels[2])};
    }
    static constexpr std::pair<std::string_view, Rgb> names[] = {
        {"black", {0, 0, 0}},       {"white", {255, 255, 255}},  {"gray", {128, 128, 128}},
        {"grey", {128, 128, 128}},  {"silver", {192, 192, 192}}, {"red", {255, 0, 0}},
        {"maroon", {128, 0, 0}},    {"yellow", {255, 255, 0}},   {"olive", {128, 128, 0}},
        {"lime", {0, 255, 0}},      {"green", {0, 128, 0}},      {"aqua", {0, 255, 255}},
        {"teal", {0, 128, 128}},    {"blue", {0, 0, 255}},       {"navy", {0, 0, 128}},
        {"fuchsia", {255, 0, 255}}, {"purple", {128, 0, 128}},   {"orange", {255, 165, 0}}};
    for (const auto& [name, colour] : names)
        if (value == name) return colour;
    return std::nullopt;
}

std::string cssColour(Rgb colour) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", colour.red, colour.green, colour.blue);
    return text;
}

std::string fitStyleSheet(std::string_view css, const PageColours& colours) {
    std::string out;
    std::size_t at = 0;
    int depth = 0;
    while (at < css.size()) {
        if (css.substr(at, 2) == "/*") {
            const std::size_t end = css.find("*/", at + 2);
            const std::size_t stop = end == std::string_view::npos ? css.size() : end + 2;
            out.append(css.substr(at, stop - at));
            at = stop;
            continue;
        }
        const char c = css[at];
        if (c == '{' || c == '}') {
            depth = std::max(0, depth + (c == '{' ? 1 : -1));
            out += c;
            ++at;
            continue;
        }
        if (depth == 0) {
            out += c;
            ++at;
            continue;
        }
        // One declaration: up to a ';' or the end of the block; or the selector of a rule
        // nested in this block.
        std::size_t end = css.find_first_of(";{}", at);
        if (end == std::string_view::npos) end = css.size();
        const std::string_view declaration = css.substr(at, end - at);
        if (end < css.size() && css[end] == '{') {
            out.append(declaration);
            at = end;
            continue;
        }
        const std::size_t colon = declaration.find(':');
        const Fit fit = colon == std::string_view::npos
                            ? Fit::Keep
                            : fitDeclaration(lowerCase(trim(declaration.substr(0, colon))),
                                             declaration.substr(colon + 1), colours);
        if (fit == Fit::Keep) out.append(declaration);
        if (fit == Fit::UseText) out += "color: " + cssColour(colours.text);
        at = end;
        if (at < css.size() && css[at] == ';') {
            if (fit != Fit::Drop) out += ';';
            ++at;
        }
    }
    return out;
}

std::string themeStyleSheet(const PageColours& colours) {
    return "\nbody { color: " + cssColour(colours.text) +
           "; background-color: " + cssColour(colours.base) +
           "; }\na { color: " + cssColour(colours.link) + "; }\n";
}
