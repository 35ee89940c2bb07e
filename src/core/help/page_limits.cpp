#include "help/page_limits.h"

#include "help/html_scan.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

// How many bytes the blank at text[at] takes, as the toolkit counts blanks (Unicode ones
// included); 0 for none. withParagraph: whether U+2029 counts.
std::size_t blankAt(std::string_view text, std::size_t at, bool withParagraph = true) {
    if (at >= text.size()) return 0;
    const auto byte = [&](std::size_t k) {
        return at + k < text.size() ? static_cast<unsigned char>(text[at + k]) : 0u;
    };
    const unsigned first = byte(0);
    if (first == ' ' || (first >= 0x09 && first <= 0x0D)) return 1;
    if (first == 0xC2 && (byte(1) == 0x85 || byte(1) == 0xA0)) return 2;
    if (first == 0xE1 && byte(1) == 0x9A && byte(2) == 0x80) return 3;
    if (first == 0xE3 && byte(1) == 0x80 && byte(2) == 0x80) return 3;
    if (first == 0xE2 && byte(1) == 0x81 && byte(2) == 0x9F) return 3;
    if (first == 0xE2 && byte(1) == 0x80) {
        const unsigned last = byte(2);
        if ((last >= 0x80 && last <= 0x8A) || last == 0xA8 || last == 0xAF ||
            (last == 0xA9 && withParagraph))
            return 3;
    }
    return 0;
}

void skipBlanks(std::string_view text, std::size_t& at) {
    while (std::size_t length = blankAt(text, at, false))
        at += length;
}

// The name of an end tag the toolkit reads with its blanks at either end taken off.
std::string trimBlanks(std::string_view name) {
    std::size_t start = 0;
    while (const std::size_t length = blankAt(name, start))
        start += length;
    std::size_t end = start;
    for (std::size_t at = start; at < name.size();)
        if (const std::size_t length = blankAt(name, at))
            at += length;
        else
            end = ++at;
    return std::string(name.substr(start, end - start));
}

// One word of a tag, quoted or not, as the toolkit reads it; lower case. Character references
// are left as they are: a name holding one is told by its '&'.
std::string readWord(std::string_view text, std::size_t& at) {
    std::string word;
    // The toolkit lowers names beyond ASCII too; of those only the Kelvin sign becomes ASCII.
    const auto add = [&](char c) {
        word += asciiLower(c);
        if (word.ends_with("\xE2\x84\xAA")) word.replace(word.size() - 3, 3, "k");
    };
    if (at < text.size() && (text[at] == '"' || text[at] == '\'')) {
        const char quote = text[at++];
        while (at < text.size()) {
            const char c = text[at++];
            if (c == quote && (quote == '"' || text[at - 2] != '\\')) break;
            add(c);
        }
        return word;
    }
    while (at < text.size() && !blankAt(text, at)) {
        const char c = text[at];
        if (c == '>' || c == '<' || c == '=' ||
            (c == '/' && at + 1 < text.size() && text[at + 1] == '>'))
            break;
        add(c);
        ++at;
    }
    return word;
}

struct ReadTag {
    std::string name; // with a leading "/" for an end tag
    bool closed = false;
};

// Reads the tag after text[at] == '<' and moves at past it; nothing for a comment or a
// declaration.
std::optional<ReadTag> readTag(std::string_view text, std::size_t& at) {
    ++at;
    skipBlanks(text, at);
    ReadTag tag;
    const auto finish = [&] {
        for (; at < text.size() && text[at] != '>'; ++at)
            if (text[at] == '/') tag.closed = true;
        ++at;
    };
    if (at < text.size() && text[at] == '!') {
        if (text.substr(at + 1, 2) == "--") {
            const std::size_t end = text.find("-->", at + 3);
            at = end == std::string_view::npos ? text.size() : end + 3;
        } else {
            finish();
        }
        return std::nullopt;
    }
    if (at < text.size() && text[at] == '/') {
        ++at;
        tag.name = '/';
        tag.name += readWord(text, at);
        finish();
        return tag;
    }
    tag.name = readWord(text, at);
    // Attributes only after a blank; the tag ends at the first '>' after them.
    if (blankAt(text, at))
        while (at < text.size()) {
            skipBlanks(text, at);
            if (at >= text.size() || text[at] == '>' || text[at] == '/') break;
            if (readWord(text, at).empty()) break;
            skipBlanks(text, at);
            if (at < text.size() && text[at] == '=') {
                ++at;
                skipBlanks(text, at);
                readWord(text, at);
            }
        }
    finish();
    return tag;
}

// How the toolkit's reader places an element. Its display decides where a paragraph goes (a "p"
// leaves the inline elements it stands in when a paragraph holds them), and some elements are
// only kept inside certain others.
enum class Kind {
    Other,
    Paragraph,
    Item,
    DefinitionList,
    Definition,
    Table,
    Group,
    Caption,
    Row,
    Cell,
    HeaderCell,
    Body,
    Head
};
enum class Display { Inline, Block, Table, None, Empty };

struct ElementType {
    std::string_view name;
    Kind kind;
    Display display;
};

// The toolkit's own elements that are not inline; any other name, known or not, is an inline
// element that holds what follows it until its end tag.
constexpr ElementType elementTypes[] = {
    {"blockquote", Kind::Other, Display::Block}, {"body", Kind::Body, Display::Block},
    {"br", Kind::Other, Display::Empty},         {"caption", Kind::Caption, Display::Block},
    {"center", Kind::Other, Display::Block},     {"dd", Kind::Definition, Display::Block},
    {"div", Kind::Other, Display::Block},        {"dl", Kind::DefinitionList, Display::Block},
    {"dt", Kind::Definition, Display::Block},    {"h1", Kind::Other, Display::Block},
    {"h2", Kind::Other, Display::Block},         {"h3", Kind::Other, Display::Block},
    {"h4", Kind::Other, Display::Block},         {"h5", Kind::Other, Display::Block},
    {"h6", Kind::Other, Display::Block},         {"head", Kind::Head, Display::None},
    {"hr", Kind::Other, Display::Empty},         {"img", Kind::Other, Display::Empty},
    {"li", Kind::Item, Display::Block},          {"link", Kind::Other, Display::None},
    {"meta", Kind::Other, Display::Empty},       {"ol", Kind::Other, Display::Block},
    {"p", Kind::Paragraph, Display::Block},      {"pre", Kind::Other, Display::Block},
    {"qt", Kind::Body, Display::Block},          {"script", Kind::Other, Display::None},
    {"style", Kind::Other, Display::None},       {"table", Kind::Table, Display::Table},
    {"tbody", Kind::Group, Display::Table},      {"td", Kind::Cell, Display::Block},
    {"tfoot", Kind::Group, Display::Table},      {"th", Kind::HeaderCell, Display::Block},
    {"thead", Kind::Group, Display::Table},      {"title", Kind::Other, Display::None},
    {"tr", Kind::Row, Display::Table},           {"ul", Kind::Other, Display::Block},
};

ElementType typeOf(std::string_view name) {
    for (const ElementType& type : elementTypes)
        if (type.name == name) return type;
    return {name, Kind::Other, Display::Inline};
}

// Whether the toolkit keeps an element of that kind inside one of the parent's kind; it takes
// the nearest parent up that it does keep it in, the page itself at last.
bool keptIn(Kind kind, Kind parent) {
    switch (kind) {
    case Kind::Definition:
        return parent == Kind::DefinitionList;
    case Kind::Row:
        return parent == Kind::Table || parent == Kind::Group;
    case Kind::Cell:
    case Kind::HeaderCell:
        return parent == Kind::Row;
    case Kind::Group:
    case Kind::Caption:
        return parent == Kind::Table;
    case Kind::Body:
        return parent != Kind::Head;
    default:
        return true;
    }
}

// The text between two tags: none, blanks or character references (which may come to one blank
// or none), or something else.
enum class Text { None, Blanks, Words };

Text textOf(std::string_view text) {
    Text found = Text::None;
    for (std::size_t at = 0; at < text.size();) {
        if (const std::size_t length = blankAt(text, at)) {
            at += length;
            found = Text::Blanks;
            continue;
        }
        // A reference ends in ';' at most nine characters after its '&' and holds no blank.
        const std::size_t end = text[at] == '&' ? text.find(';', at) : std::string_view::npos;
        if (end == std::string_view::npos || end - at > 9) return Text::Words;
        for (std::size_t k = at; k < end; ++k)
            if (blankAt(text, k)) return Text::Words;
        at = end + 1;
        found = Text::Blanks;
    }
    return found;
}

// The tree of elements the toolkit's reader builds, followed tag by tag: where each element
// goes, how deep, and inside how many tables.
class ElementTree {
  public:
    // False when the element or one the toolkit adds for it is past the bounds.
    bool open(const std::string& name, bool closed) {
        const ElementType type = typeOf(name);
        if (name.empty()) { // kept as text
            made(false);
            return true;
        }
        made(true);
        if (type.display == Display::Empty) {
            made(false);
            empty_ = {name, current_, Follow::Text, Text::None};
            return true;
        }
        int parent = current_;
        // A cell outside a row, or a row outside a table, gets the table and row it lacks.
        if ((type.kind == Kind::Cell && !inside(parent, Kind::Row)) ||
            (type.kind == Kind::Row && !inside(parent, Kind::Table))) {
            empty_.follow = Follow::Gone;
            parent = add("table", Kind::Table, Display::Inline, parent, true);
            if (type.kind == Kind::Cell)
                parent = add("tr", Kind::Row, Display::Inline, parent, true);
        }
        if (type.kind == Kind::Paragraph) {
            int up = parent;
            while (up > 0 && !nodes_[up].block)
                up = nodes_[up].parent;
            if (up > 0 && nodes_[up].kind == Kind::Paragraph) parent = up;
        }
        // A paragraph or item right inside another is put beside it.
        if ((type.kind == Kind::Paragraph || type.kind == Kind::Item) &&
            nodes_[parent].kind == type.kind)
            parent = nodes_[parent].parent;
        while (parent > 0 && !keptIn(type.kind, nodes_[parent].kind))
            parent = nodes_[parent].parent;
        const int node = add(name, type.kind, type.display, parent);
        if (closed) made(false);
        current_ = closed ? parent : node;
        return withinBounds_;
    }

    // False when it cannot be told what the toolkit makes of it.
    bool close(const std::string& name) {
        if (name == empty_.name && empty_.follow != Follow::Gone) {
            // Right after an empty element, its end tag closes what its parent holds: "<div>
            // <br></div></br>" opens the div again.
            if (empty_.follow == Follow::Maybe || empty_.follow == Follow::MaybeElement) {
                if (empty_.parent != current_) return false;
                empty_.follow = Follow::Maybe;
                return true;
            }
            current_ = empty_.parent;
            made(false);
            return true;
        }
        if (name.empty()) { // closes the text the toolkit made last, if it made one
            if (empty_.follow == Follow::Text) made(false);
            return true;
        }
        for (int node = current_; node > 0; node = nodes_[node].parent)
            if (nodes_[node].name == name) {
                current_ = nodes_[node].parent;
                made(false);
                return true;
            }
        return true;
    }

    void text(std::string_view text) {
        if (empty_.follow != Follow::Text || text.empty()) return;
        empty_.text = std::max(empty_.text, textOf(text));
    }

    bool withinBounds() const { return withinBounds_; }

  private:
    struct Node {
        std::string name;
        Kind kind;
        bool block;
        bool hidden;
        int parent;
        int depth;
        int tables;
    };

    // added: made by the reader for a cell or row outside a table, which it leaves inline and
    // shown even where the parent is hidden.
    int add(const std::string& name, Kind kind, Display display, int parent, bool added = false) {
        const Node& up = nodes_[parent];
        Node node{name,
                  kind,
                  display == Display::Block && !up.hidden,
                  !added && (display == Display::None || up.hidden),
                  parent,
                  up.depth + 1,
                  up.tables + (kind == Kind::Table ? 1 : 0)};
        if (node.depth > maxPageNesting || node.tables > maxTableNesting) withinBounds_ = false;
        nodes_.push_back(std::move(node));
        return static_cast<int>(nodes_.size()) - 1;
    }

    bool inside(int node, Kind kind) const {
        for (; node > 0; node = nodes_[node].parent)
            if (nodes_[node].kind == kind) return true;
        return false;
    }

    // Where the last empty element stands among the toolkit's nodes: an end tag of its name
    // counts only while it is the one before the last. The toolkit makes a node for each tag
    // and end tag it takes, and makes none when its last one is text-free text, which it fills
    // instead; one blank there is kept or filled as the elements around it are laid out.
    enum class Follow { Gone, Text, Element, Maybe, MaybeElement };
    struct Empty {
        std::string name;
        int parent = 0;
        Follow follow = Follow::Gone;
        Text text = Text::None;
    };

    void made(bool element) {
        Follow& follow = empty_.follow;
        if (follow == Follow::Text) {
            if (empty_.text == Text::None)
                follow = element ? Follow::Element : Follow::Text;
            else if (empty_.text == Text::Words)
                follow = Follow::Gone;
            else
                follow = element ? Follow::MaybeElement : Follow::Maybe;
        } else if (follow == Follow::Element || follow == Follow::MaybeElement) {
            follow = Follow::Gone;
        } else if (follow == Follow::Maybe && element) {
            follow = Follow::MaybeElement;
        }
    }

    std::vector<Node> nodes_{{"", Kind::Other, false, false, 0, 0, 0}};
    int current_ = 0;
    Empty empty_;
    bool withinBounds_ = true;
};

} // namespace

bool pageWithinLimits(std::string_view html) {
    return html.size() <= maxPageSize && pageNestingWithinLimits(html);
}

bool pageNestingWithinLimits(std::string_view html) {
    ElementTree tree;
    std::size_t at = 0;
    for (std::size_t tagAt; (tagAt = html.find('<', at)) != std::string_view::npos;) {
        tree.text(html.substr(at, tagAt - at));
        at = tagAt;
        std::optional<ReadTag> tag = readTag(html, at);
        if (!tag) continue;
        // A name written with a character reference may be any name; one beyond ASCII in an end
        // tag is matched as the toolkit lowers it, which is not known here.
        const bool end = tag->name.starts_with('/');
        std::string name = end ? trimBlanks(tag->name.substr(1)) : tag->name;
        if (name.find('&') != std::string::npos) return false;
        if (end && std::any_of(name.begin(), name.end(), [](char c) { return c & 0x80; }))
            return false;
        if (!(end ? tree.close(name) : tree.open(name, tag->closed))) return false;
    }
    return tree.withinBounds();
}
