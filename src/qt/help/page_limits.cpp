#include "qt/help/page_limits.h"

#include "help/html_scan.h"
#include "text/case_fold.h"

#include <algorithm>
#include <cstdint>
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

// More than any span a table within the budget can hold.
constexpr std::int64_t largeSpan = std::int64_t(1) << 40;

// A colspan or rowspan as the toolkit reads it, or more. A value holding a character reference
// or a letter beyond ASCII may be any number; the digits of any other are taken together.
std::int64_t spanValue(std::string_view value) {
    std::int64_t number = 0;
    for (const char c : value) {
        if (c == '&' || (c & 0x80)) return largeSpan;
        if (c >= '0' && c <= '9') number = std::min(number * 10 + (c - '0'), largeSpan);
    }
    return std::max<std::int64_t>(number, 1);
}

struct ReadTag {
    std::string name; // with a leading "/" for an end tag
    bool closed = false;
    std::size_t length = 0; // of a start tag in the page, "<" and ">" included
    // Of a cell; an attribute whose name holds a character reference may be either.
    std::int64_t colSpan = 1;
    std::int64_t rowSpan = 1;
};

// Reads the tag after text[at] == '<' and moves at past it; nothing for a comment or a
// declaration.
std::optional<ReadTag> readTag(std::string_view text, std::size_t& at) {
    const std::size_t start = at;
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
    const bool cell = tag.name == "td" || tag.name == "th";
    // Attributes only after a blank; the tag ends at the first '>' after them.
    if (blankAt(text, at))
        while (at < text.size()) {
            skipBlanks(text, at);
            if (at >= text.size() || text[at] == '>' || text[at] == '/') break;
            const std::string name = readWord(text, at);
            if (name.empty()) break;
            skipBlanks(text, at);
            std::string value;
            if (at < text.size() && text[at] == '=') {
                ++at;
                skipBlanks(text, at);
                value = readWord(text, at);
            }
            if (!cell) continue;
            const bool any = name.find('&') != std::string::npos;
            if (any || name == "colspan")
                tag.colSpan = std::max(tag.colSpan, any ? largeSpan : spanValue(value));
            if (any || name == "rowspan")
                tag.rowSpan = std::max(tag.rowSpan, any ? largeSpan : spanValue(value));
        }
    finish();
    tag.length = std::min(at, text.size()) - start;
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

// Reads a style sheet in pieces as the toolkit's scanner does: a comment, or a string up to its
// quote or the end of its line, holds no structure, and a comment counts as a blank. The
// selectors are the pieces between commas before a "{", each ending in the name its last part
// starts with, if any; a rule's declarations are separated by ";". Read in parts, as the toolkit
// gathers a style element's text between tags.
class StyleScan {
  public:
    void add(std::string_view css) {
        for (const char c : css) {
            if (c == '+' || c == '&' || c == '\\') unusable_ = true;
            const char before = previous_;
            previous_ = c;
            if (comment_) {
                if (before == '*' && c == '/') {
                    comment_ = false;
                    previous_ = 0;
                }
                continue;
            }
            if (quote_) {
                if (c == quote_ || c == '\n' || c == '\r' || c == '\f') quote_ = 0;
                continue;
            }
            if (before == '/' && c == '*') {
                // The "/" was no part of the piece.
                comment_ = true;
                previous_ = 0;
                piece_.content = piece_.blank = beforeSlash_;
            } else if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f') {
                piece_.blank = piece_.content;
            } else if (c == ',' || c == '{') {
                list_.push_back(piece_);
                piece_ = {};
                if (c == '{') {
                    rules_.push_back({std::move(list_), 0});
                    list_.clear();
                }
            } else if (c == '}') {
                if (!rules_.empty()) {
                    const Rule& rule = rules_.back();
                    // An inner rule is tried on everything.
                    const bool inner = rules_.size() > 1;
                    for (const Piece& piece : rule.selectors) {
                        StyleCost& cost =
                            piece.named && !inner ? found_.byName[piece.name] : found_.any;
                        cost.tries += 2 + rule.semicolons;
                        cost.steps += piece.walking ? 1 : 0;
                    }
                    rules_.pop_back();
                }
                list_.clear();
                piece_ = {};
            } else {
                if (c == ';' && !rules_.empty()) ++rules_.back().semicolons;
                if (c == '/') beforeSlash_ = piece_.content;
                part(c);
            }
        }
    }

    // Those of the rules whose end was read; nothing when the sheet is not to be used.
    std::optional<StyleSelectors> found() const {
        if (unusable_) return std::nullopt;
        return found_;
    }

  private:
    struct Piece {
        bool content = false;
        bool blank = false;
        bool walking = false;
        bool combinator = false; // the last was ">"
        bool inName = false;
        bool named = false;
        std::string name;
    };
    struct Rule {
        std::vector<Piece> selectors;
        std::size_t semicolons;
    };

    // A character of a selector: one after a blank or ">" starts its next part, whose name, if
    // it starts with one, is what the selector ends in until a later part starts.
    void part(char c) {
        Piece& piece = piece_;
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' ||
                            c == '-' || (c >= '0' && c <= '9');
        if (!piece.content || piece.blank || piece.combinator) {
            piece.walking = piece.walking || piece.content;
            piece.named = piece.inName = letter && !(c >= '0' && c <= '9');
            piece.name.clear();
        } else if (piece.inName && !letter) {
            piece.inName = false;
            // A name beyond ASCII is lowered as this does not know: tried on everything.
            if (c & 0x80) piece.named = false;
        }
        if (piece.inName) piece.name += asciiLower(c);
        piece.walking = piece.walking || c == '>';
        piece.combinator = c == '>';
        piece.content = true;
        piece.blank = false;
        if (c == '"' || c == '\'') quote_ = c;
    }

    StyleSelectors found_;
    std::vector<Rule> rules_; // open, the innermost last
    std::vector<Piece> list_; // before the next "{"
    Piece piece_;
    bool beforeSlash_ = false;
    bool comment_ = false;
    char quote_ = 0;
    char previous_ = 0;
    bool unusable_ = false;
};

// What a style selector's try on an element costs: one, and one for every four bytes of its tag,
// as the try searches its attributes and may split one into words.
std::uint64_t tryWeight(std::size_t tagLength) {
    return 1 + tagLength / 4;
}

// The tree of elements the toolkit's reader builds, followed tag by tag: where each element
// goes, how deep, and inside how many tables; and what the budgets count of it.
class ElementTree {
  public:
    // False when the element or one the toolkit adds for it is past the bounds.
    bool open(const ReadTag& tag) {
        const std::string& name = tag.name;
        const ElementType type = typeOf(name);
        style_.reset();     // the toolkit makes a node after it
        if (name.empty()) { // kept as text
            made(false);
            return true;
        }
        made(true);
        if (type.display == Display::Empty) {
            made(false);
            empty_ = {name, current_, Follow::Text, Text::None};
            // A leaf: counted, but not kept.
            if (name == "img") ++measure_.pictures;
            const std::uint64_t weight = tryWeight(tag.length);
            addStyleWork(name, weight, nodes_[current_].chain + weight);
            ++nodes_[current_].leaves;
            count();
            return withinBounds();
        }
        int parent = current_;
        // A cell outside a row, or a row outside a table, gets the table and row it lacks.
        if ((type.kind == Kind::Cell && !inside(parent, Kind::Row)) ||
            (type.kind == Kind::Row && !inside(parent, Kind::Table))) {
            empty_.follow = Follow::Gone;
            parent = add("table", Kind::Table, Display::Inline, parent, 1, true);
            if (type.kind == Kind::Cell)
                parent = add("tr", Kind::Row, Display::Inline, parent, 1, true);
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
        const int node = add(name, type.kind, type.display, parent, tryWeight(tag.length));
        nodes_[node].colSpan = tag.colSpan;
        nodes_[node].rowSpan = tag.rowSpan;
        if (name == "style") style_ = Style{};
        if (tag.closed) made(false);
        current_ = tag.closed ? parent : node;
        return withinBounds();
    }

    // False when it cannot be told what the toolkit makes of it.
    bool close(const std::string& name) {
        // The toolkit reads the text it gathered for a style element as a style sheet at any end
        // tag while it made no node after it, whole each time: an end tag that closes nothing
        // makes none.
        if (style_) {
            measure_.styleSize += style_->size;
            if (std::optional<StyleSelectors> found = style_->scan.found()) {
                found->any.tries += 1;
                measure_.styleSelectors += *found;
            } else {
                withinBounds_ = false;
            }
        }
        if (name == empty_.name && empty_.follow != Follow::Gone) {
            // Right after an empty element, its end tag closes what its parent holds: "<div>
            // <br></div></br>" opens the div again.
            if (empty_.follow == Follow::Maybe || empty_.follow == Follow::MaybeElement) {
                if (empty_.parent != current_) return false;
                empty_.follow = Follow::Maybe;
                return true;
            }
            style_.reset();
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
                style_.reset();
                current_ = nodes_[node].parent;
                made(false);
                return true;
            }
        return true;
    }

    void text(std::string_view text) {
        // Preformatted text (which a style sheet may ask of any element) is a paragraph a line;
        // so is text past a paragraph separator, which a numeric reference may write.
        for (std::size_t at = 0; (at = text.find_first_of("\n&\xE2", at)) != text.npos; ++at)
            if (text[at] == '\n' || text.substr(at, 2) == "&#" ||
                text.substr(at, 3) == "\xE2\x80\xA9")
                ++measure_.lines;
        if (style_) {
            style_->size += text.size();
            style_->scan.add(text);
        }
        if (empty_.follow != Follow::Text || text.empty()) return;
        empty_.text = std::max(empty_.text, textOf(text));
    }

    bool withinBounds() const { return withinBounds_; }

    // What was counted, the tables' cells and the style work checked at the end.
    PageMeasure finish() {
        // Every element is tried once for itself and once for each element inside it.
        std::vector<std::uint64_t> inside(nodes_.size());
        for (std::size_t node = nodes_.size() - 1; node > 0; --node) {
            inside[node] += 1 + nodes_[node].leaves;
            inside[nodes_[node].parent] += inside[node];
        }
        for (std::size_t node = 1; node < nodes_.size(); ++node)
            addStyleWork(nodes_[node].name, nodes_[node].weight * inside[node],
                         nodes_[node].chain * inside[node]);
        measure_.tableCells = tableCells();
        measure_.within = withinBounds_ && measure_.lines <= maxPageLines &&
                          measure_.tableCells <= maxTableCells &&
                          measure_.styleSize <= maxStyleSheetSize &&
                          styleWithinLimits(measure_.styleSelectors, measure_);
        return measure_;
    }

  private:
    struct Node {
        std::string name;
        Kind kind;
        bool block;
        bool hidden;
        int parent;
        int depth;
        int tables;
        // What a try on it costs, and that of the chain from the page down to it.
        std::uint64_t weight;
        std::uint64_t chain;
        std::size_t leaves = 0; // empty elements right inside
        std::int64_t colSpan = 1;
        std::int64_t rowSpan = 1;
    };

    void addStyleWork(const std::string& name, std::uint64_t tries, std::uint64_t steps) {
        for (StyleCost* cost : {&measure_.styleWork, &measure_.styleWorkByName[name]}) {
            cost->tries += tries;
            cost->steps += steps;
        }
    }

    void count() {
        if (++measure_.elements > maxPageElements || measure_.pictures > maxPagePictures)
            withinBounds_ = false;
    }

    // added: made by the reader for a cell or row outside a table, which it leaves inline and
    // shown even where the parent is hidden.
    int add(const std::string& name, Kind kind, Display display, int parent, std::uint64_t weight,
            bool added = false) {
        const Node& up = nodes_[parent];
        Node node{name,
                  kind,
                  display == Display::Block && !up.hidden,
                  !added && (display == Display::None || up.hidden),
                  parent,
                  up.depth + 1,
                  up.tables + (kind == Kind::Table ? 1 : 0),
                  weight,
                  up.chain + weight};
        if (node.depth > maxPageNesting || node.tables > maxTableNesting) withinBounds_ = false;
        // The toolkit lays a table out where its last cell left off, not where its reader put
        // it, when it stands in a table, a table part, a row or a caption but in no cell of it:
        // it may nest it deeper.
        if (kind == Kind::Table && !inCellOrOutside(parent)) withinBounds_ = false;
        count();
        nodes_.push_back(std::move(node));
        return static_cast<int>(nodes_.size()) - 1;
    }

    bool inCellOrOutside(int node) const {
        for (; node > 0; node = nodes_[node].parent)
            switch (nodes_[node].kind) {
            case Kind::Cell:
            case Kind::HeaderCell:
                return true;
            case Kind::Table:
            case Kind::Group:
            case Kind::Row:
            case Kind::Caption:
                return false;
            default:
                break;
            }
        return true;
    }

    bool inside(int node, Kind kind) const {
        for (; node > 0; node = nodes_[node].parent)
            if (nodes_[node].kind == kind) return true;
        return false;
    }

    // Rows times columns of every table, as the toolkit lays it out: a cell takes the first
    // column of its row that no cell above spans into, and as many as it spans. Those of a table
    // inside another count twice, as its layout takes twice as long, inside two four times.
    // More than the budget when a table is wider than it.
    std::size_t tableCells() const {
        // A table's rows, those of its head, body and foot in their place; a row's cells.
        std::vector<std::vector<int>> children(nodes_.size());
        for (std::size_t i = 1; i < nodes_.size(); ++i) {
            const Kind kind = nodes_[i].kind;
            const Kind up = nodes_[nodes_[i].parent].kind;
            if (((kind == Kind::Row || kind == Kind::Group) && up == Kind::Table) ||
                (kind == Kind::Row && up == Kind::Group) ||
                ((kind == Kind::Cell || kind == Kind::HeaderCell) && up == Kind::Row))
                children[nodes_[i].parent].push_back(static_cast<int>(i));
        }
        constexpr std::size_t over = maxTableCells + 1;
        std::size_t cells = 0;
        for (std::size_t table = 1; table < nodes_.size(); ++table) {
            if (nodes_[table].kind != Kind::Table) continue;
            std::vector<int> rows;
            for (const int child : children[table])
                if (nodes_[child].kind == Kind::Row)
                    rows.push_back(child);
                else
                    rows.insert(rows.end(), children[child].begin(), children[child].end());
            // The cell that took each column last: its row, and the rows and columns it spans.
            struct Span {
                std::int64_t row = 0;
                std::int64_t rows = 0;
                std::int64_t columns = 0;
            };
            std::vector<Span> spans;
            std::size_t columns = 0;
            const int weight = nodes_[table].tables - 1;
            for (std::size_t row = 0; row < rows.size(); ++row) {
                std::size_t at = 0;
                for (const int cell : children[rows[row]]) {
                    while (at < spans.size() &&
                           spans[at].row + spans[at].rows > static_cast<std::int64_t>(row))
                        at += static_cast<std::size_t>(spans[at].columns);
                    const std::size_t first = at;
                    const Node& node = nodes_[cell];
                    if (at > maxTableCells ||
                        node.colSpan > static_cast<std::int64_t>(maxTableCells - at))
                        return over;
                    at += static_cast<std::size_t>(node.colSpan);
                    if (spans.size() < at) spans.resize(at);
                    for (std::size_t column = first; column < at; ++column)
                        spans[column] = {static_cast<std::int64_t>(row), node.rowSpan,
                                         node.colSpan};
                }
                columns = std::max(columns, at);
                if ((columns * (row + 1) << weight) > maxTableCells - cells) return over;
            }
            cells += columns * rows.size() << weight;
        }
        return cells;
    }

    // The text the toolkit gathers for a style element while it makes no node after it.
    struct Style {
        std::size_t size = 0;
        StyleScan scan;
    };

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

    std::vector<Node> nodes_{{"", Kind::Other, false, false, 0, 0, 0, 0, 0}};
    int current_ = 0;
    Empty empty_;
    std::optional<Style> style_;
    PageMeasure measure_;
    bool withinBounds_ = true;
};

} // namespace

bool pageWithinLimits(std::string_view html) {
    return html.size() <= maxPageSize && pageNestingWithinLimits(html);
}

bool pageNestingWithinLimits(std::string_view html) {
    return measurePage(html).within;
}

PageMeasure measurePage(std::string_view html) {
    ElementTree tree;
    PageMeasure refused;
    refused.within = false;
    std::size_t at = 0;
    for (std::size_t tagAt; (tagAt = html.find('<', at)) != std::string_view::npos;) {
        tree.text(html.substr(at, tagAt - at));
        at = tagAt;
        std::optional<ReadTag> tag = readTag(html, at);
        if (!tag) continue;
        // A name written with a character reference may be any name; one beyond ASCII in an end
        // tag is matched as the toolkit lowers it, which is not known here.
        const bool end = tag->name.starts_with('/');
        if (end) tag->name = trimBlanks(tag->name.substr(1));
        if (tag->name.find('&') != std::string::npos) return refused;
        if (end && std::any_of(tag->name.begin(), tag->name.end(), [](char c) { return c & 0x80; }))
            return refused;
        if (!(end ? tree.close(tag->name) : tree.open(*tag))) return refused;
    }
    tree.text(html.substr(std::min(at, html.size())));
    return tree.finish();
}

StyleSelectors& StyleSelectors::operator+=(const StyleSelectors& more) {
    for (const auto& [name, cost] : more.byName) {
        byName[name].tries += cost.tries;
        byName[name].steps += cost.steps;
    }
    any.tries += more.any.tries;
    any.steps += more.any.steps;
    return *this;
}

std::optional<StyleSelectors> styleSelectors(std::string_view css) {
    StyleScan scan;
    scan.add(css);
    std::optional<StyleSelectors> found = scan.found();
    if (found) found->any.tries += 1;
    return found;
}

bool styleWithinLimits(const StyleSelectors& selectors, const PageMeasure& page) {
    // Kept at most one past the budget, so that nothing overflows.
    std::uint64_t work = 0;
    const auto add = [&](std::uint64_t weight, std::uint64_t count) {
        if (work > maxStyleWork) return;
        work = count != 0 && weight > (maxStyleWork - work) / count ? maxStyleWork + 1
                                                                    : work + weight * count;
    };
    const auto addCost = [&](const StyleCost& weights, const StyleCost& counts) {
        add(weights.tries, counts.tries);
        add(weights.steps, counts.steps);
    };
    addCost(selectors.any, page.styleWork);
    for (const auto& [name, weights] : selectors.byName)
        if (const auto found = page.styleWorkByName.find(name); found != page.styleWorkByName.end())
            addCost(weights, found->second);
    return work <= maxStyleWork;
}
