#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// A forgiving reader of the tags of help pages and sitemaps, as help compilers accept them: any
// letter case, unquoted values, missing end tags.

struct HtmlTag {
    std::string name; // lower case, with a leading "/" for an end tag
    std::vector<std::pair<std::string, std::string>> attributes; // names in lower case
    bool selfClosing = false;                                    // ends in "/>"
    std::string_view attribute(std::string_view name) const;
};

// Reads the tag that starts at text[at] == '<' and moves at past it; nothing for a comment or
// a tag that never ends. Attribute values have their character references decoded.
std::optional<HtmlTag> readHtmlTag(std::string_view text, std::size_t& at);

// Elements whose text the help window never shows as page text: style, script and title.
bool isRawText(std::string_view name);

// Moves at past the end tag of a raw-text element whose start tag ended just before at, to the
// end of text when there is none; returns where the element's text ends.
std::size_t skipRawText(std::string_view text, std::size_t& at, std::string_view name);

// Cuts UTF-8 text to at most maxBytes, between two characters.
void cutUtf8(std::string& text, std::size_t maxBytes);

bool isHtmlSpace(char c);

// Turns the character references a sitemap value or a page text may hold back into text
// (UTF-8).
std::string decodeEntities(std::string_view text);
