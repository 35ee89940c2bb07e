// The catalog's text file: one conversion a line, fields separated by "|".
#include "catalog/catalog_file.h"

#include "catalog/catalog.h"
#include "files/file_lock.h"
#include "files/line_reader.h"
#include "files/whole_file_reader.h"
#include "files/whole_file_writer.h"
#include "text/text_scan.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <unordered_map>

namespace {

// Splits at "|" the way a tokenizer does: runs of separators count as one, and separators at the
// start or the end give no field, so no field is empty.
template <typename Visit> void forEachField(std::string_view line, Visit visit) {
    std::size_t at = 0;
    while (true) {
        at = line.find_first_not_of('|', at);
        if (at == std::string_view::npos) return;
        std::size_t end = line.find('|', at);
        if (end == std::string_view::npos) end = line.size();
        visit(line.substr(at, end - at));
        at = end;
    }
}

constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";

// A blank field is written as one blank: the reader trims it back to nothing, where an empty
// field would vanish between two separators and shift the fields after it.
std::string& appendField(std::string& text, std::string_view field) {
    if (field.empty()) return text += ' ';
    return text.append(field);
}

bool endsLine(std::string_view piece, std::string_view bytes) {
    return piece.ends_with('\n') || piece.data() + piece.size() == bytes.data() + bytes.size();
}

// Whether a piece that ends its line still arrives whole with more characters: a line is read in
// pieces of 255 characters, its line end not counted, and a mark pushed past would start a piece
// of its own.
bool takes(std::string_view piece, std::size_t added) {
    std::size_t characters = piece.size();
    while (characters > 0 && (piece[characters - 1] == '\n' || piece[characters - 1] == '\r'))
        --characters;
    return characters + added <= LineReader::maxPiece;
}

// The size of the piece the reader takes at offset at of bytes (past any byte order mark).
std::size_t pieceSize(std::string_view bytes, std::size_t at) {
    const std::size_t most = LineReader::maxPiece;
    // A piece ends after its LF or after 255 characters; a CR LF is one character, so the LF may
    // be the 256th byte.
    const std::size_t room = std::min(bytes.size() - at, most + 1);
    const auto* lineEnd = static_cast<const char*>(std::memchr(bytes.data() + at, '\n', room));
    std::size_t size = std::min(bytes.size() - at, most);
    if (lineEnd) {
        const auto end = static_cast<std::size_t>(lineEnd - (bytes.data() + at)) + 1;
        const bool carriage = end >= 2 && bytes[at + end - 2] == '\r';
        if (end - (carriage ? 1 : 0) <= most) size = end;
    }
    return size;
}

// Whether marked reads as the same pieces as bytes, one for one, each with the same five fields
// and only a hidden mark gained, lost or changed: a save must not change what the reader sees of
// any line, nor what a check reports of it.
bool samePiecesButMarks(std::string_view bytes, std::string_view marked) {
    if (bytes.starts_with(byteOrderMark) != marked.starts_with(byteOrderMark)) return false;
    const std::size_t skip = bytes.starts_with(byteOrderMark) ? byteOrderMark.size() : 0;
    std::size_t at = skip;
    std::size_t markedAt = skip;
    // A line end alone is nothing to the reader: it follows a line of 255 characters.
    const auto lineEndOnly = [](std::string_view piece) {
        return piece == "\n" || piece == "\r\n";
    };
    while (true) {
        std::string_view was;
        std::string_view is;
        do {
            was = bytes.substr(at, pieceSize(bytes, at));
            at += was.size();
        } while (lineEndOnly(was) && at < bytes.size());
        do {
            is = marked.substr(markedAt, pieceSize(marked, markedAt));
            markedAt += is.size();
        } while (lineEndOnly(is) && markedAt < marked.size());
        if (lineEndOnly(was)) was = {};
        if (lineEndOnly(is)) is = {};
        if (was.empty() || is.empty()) return was.empty() && is.empty();
        const CatalogLineFields a = splitCatalogLine(was);
        const CatalogLineFields b = splitCatalogLine(is);
        if (a.ignored() || b.ignored()) {
            if (was != is) return false;
            continue;
        }
        for (int f = 0; f < 5; ++f)
            if (a.fields[f] != b.fields[f]) return false;
        if (a.count != b.count &&
            (std::min(a.count, b.count) != 5 || std::max(a.count, b.count) != 6))
            return false;
    }
}

// Where a field read from piece ends in it: at the separator after it, or where the text the
// reader sees ends, before a NUL and the line end.
std::size_t fieldEnd(std::string_view piece, std::string_view trimmedField) {
    const auto start = static_cast<std::size_t>(trimmedField.data() - piece.data());
    std::string_view text = piece.substr(0, piece.find('\0'));
    while (text.ends_with('\n') || text.ends_with('\r'))
        text.remove_suffix(1);
    const std::size_t separator = text.find('|', start + trimmedField.size());
    return separator == std::string_view::npos ? std::max(text.size(), start) : separator;
}

// The offset of text, a view into bytes, from the start of bytes.
std::size_t offsetIn(std::string_view bytes, std::string_view text) {
    return static_cast<std::size_t>(text.data() - bytes.data());
}

// Whether the catalogs read from before and after are the same but for the flags, which follow
// the choices.
bool sameButChosenFlags(const ConversionCatalog& before, const ConversionCatalog& after,
                        const std::unordered_map<std::string_view, bool>& shown) {
    if (before.categoryCount() != after.categoryCount()) return false;
    for (int id = 0; id < before.categoryCount(); ++id) {
        const Category& was = *before.categoryAt(id);
        const Category& is = *after.categoryAt(id);
        if (was.name() != is.name() || was.conversionCount() != is.conversionCount()) return false;
        const auto chosen = shown.find(was.name());
        const bool wanted = chosen == shown.end() ? was.visible() != 0 : chosen->second;
        if ((is.visible() != 0) != wanted) return false;
        for (int c = 0; c < was.conversionCount(); ++c) {
            const Conversion& a = *was.conversionAt(c);
            const Conversion& b = *is.conversionAt(c);
            if (a.name() != b.name() || a.fromUnit() != b.fromUnit() || a.toUnit() != b.toUnit() ||
                a.formula() != b.formula())
                return false;
        }
    }
    return true;
}

} // namespace

CatalogLineFields splitCatalogLine(std::string_view line) {
    // A NUL byte ends the text of a line, as it would for any C string reader.
    line = line.substr(0, line.find('\0'));
    CatalogLineFields split;
    forEachField(line, [&](std::string_view field) {
        field = trimmed(field);
        split.visible = 1;
        if (split.count < 5) {
            split.fields[split.count] = field;
        } else if (split.count == 5) {
            split.sixth = field;
            split.visible = leadingInteger(field);
        }
        ++split.count;
    });
    return split;
}

void forEachCatalogPieceInPlace(std::string_view bytes,
                                const std::function<void(std::string_view piece)>& visit) {
    if (bytes.starts_with(byteOrderMark)) bytes.remove_prefix(byteOrderMark.size());
    std::size_t at = 0;
    while (at < bytes.size()) {
        const std::size_t size = pieceSize(bytes, at);
        visit(bytes.substr(at, size));
        at += size;
    }
}

void forEachCatalogPiece(std::string_view bytes,
                         const std::function<void(std::string_view piece)>& visit) {
    std::string piece;
    forEachCatalogPieceInPlace(bytes, [&](std::string_view inPlace) {
        if (!inPlace.ends_with("\r\n")) return visit(inPlace);
        piece.assign(inPlace.substr(0, inPlace.size() - 2)) += '\n';
        visit(piece);
    });
}

bool readCatalogPieces(const std::string& path,
                       const std::function<void(std::string_view piece)>& visit,
                       ReadProblem* problem) {
    std::string bytes;
    if (!readWholeFile(path, bytes, problem)) return false;
    forEachCatalogPiece(std::string_view(bytes), visit);
    return true;
}

std::string readFailureReason(ReadProblem problem, const std::string& path,
                              std::string_view subject) {
    // The reader sees a folder only as a file it cannot read; the user named it as a file.
    std::error_code error;
    if (problem == ReadProblem::Unreadable && std::filesystem::is_directory(path, error))
        return std::string(subject) + " is a folder, not a file";
    return readProblemText(problem, subject);
}

std::optional<std::string>
withHiddenMarks(std::string_view bytes,
                const std::vector<std::pair<std::string_view, bool>>& shownByName) {
    const std::unordered_map<std::string_view, bool> shown(shownByName.begin(), shownByName.end());
    std::string marked;
    marked.reserve(bytes.size() + 64);
    std::size_t copied = 0;
    // Replaces the bytes from..to of the file with text.
    const auto edit = [&](std::size_t from, std::size_t to, std::string_view text) {
        marked.append(bytes.substr(copied, from - copied)).append(text);
        copied = to;
    };
    forEachCatalogPieceInPlace(bytes, [&](std::string_view piece) {
        const CatalogLineFields split = splitCatalogLine(piece);
        if (split.ignored()) return;
        const auto chosen = shown.find(split.fields[0]);
        if (chosen == shown.end()) return;
        const std::string_view formula = split.fields[4];
        const std::size_t pieceStart = offsetIn(bytes, piece);
        if (chosen->second) {
            // Shown: a mark that hides goes, with the separators before it.
            if (split.count == 6 && split.visible == 0 && endsLine(piece, bytes))
                edit(pieceStart + fieldEnd(piece, formula),
                     offsetIn(bytes, split.sixth) + split.sixth.size(), {});
        } else if (split.count == 5 && endsLine(piece, bytes)) {
            // The mark goes right after the formula; a blank formula keeps a blank of its own
            // before it, or its separators would run together with the mark's.
            const std::size_t at = formula.empty() ? pieceStart + fieldEnd(piece, formula)
                                                   : offsetIn(bytes, formula) + formula.size();
            const std::string_view mark = at > 0 && bytes[at - 1] == '|' ? " |0" : "|0";
            // A line too long for it is left alone, as one with seven fields is.
            if (takes(piece, mark.size())) edit(at, at, mark);
        } else if (split.count == 6 && split.visible != 0) {
            const std::size_t sixth = offsetIn(bytes, split.sixth);
            edit(sixth, sixth + split.sixth.size(), "0");
        }
    });
    marked.append(bytes.substr(copied));

    // Whatever the lines hold, the marks must say what was chosen and change nothing else.
    ConversionCatalog before;
    before.loadText(std::string(bytes));
    ConversionCatalog after;
    after.loadText(marked);
    if (!sameButChosenFlags(before, after, shown) || !samePiecesButMarks(bytes, marked))
        return std::nullopt;
    return marked;
}

void ConversionCatalog::parseLine(std::string_view line) {
    const CatalogLineFields split = splitCatalogLine(line);
    if (split.ignored()) return;
    const auto& fields = split.fields;
    Category* category = findCategory(fields[0]);
    if (!category) category = &addCategory(fields[0]);
    category->setVisible(split.visible);
    category->addConversion(fields[1], fields[2], fields[3], fields[4]);
}

bool ConversionCatalog::load(const std::string& path, ReadProblem* problem) {
    std::string bytes;
    if (!readWholeFile(path, bytes, problem)) return false;
    loadText(std::move(bytes));
    return true;
}

void ConversionCatalog::loadText(std::string bytes) {
    // The records point into the bytes where they are kept, so each field stays where it is.
    const std::string_view kept = texts().adopt(std::move(bytes));
    forEachCatalogPieceInPlace(kept, [this](std::string_view piece) { parseLine(piece); });
    loadedFlags_.clear();
    for (const auto& category : categories_) {
        loadedFlags_.push_back(category->visible());
        // Nothing more is added while the program runs.
        category->releaseLookup();
    }
}

std::vector<std::pair<std::string_view, bool>> ConversionCatalog::visibilityChoices() const {
    std::vector<std::pair<std::string_view, bool>> choices;
    for (const auto& category : categories_) {
        const auto id = static_cast<std::size_t>(category->id());
        const bool shown = category->visible() != 0;
        if (id >= loadedFlags_.size() || (loadedFlags_[id] != 0) != shown)
            choices.emplace_back(category->name(), shown);
    }
    return choices;
}

std::optional<std::string> ConversionCatalog::fileText() const {
    std::string text;
    // What follows a file whose last line has no line end starts a line of its own.
    const auto endLine = [&text] {
        if (!text.empty() && text.back() != '\n') text += "\r\n";
    };
    const auto choices = visibilityChoices();
    if (texts_) {
        for (const auto& file : texts_->files()) {
            const std::optional<std::string> marked = withHiddenMarks(*file, choices);
            if (!marked) return std::nullopt;
            endLine();
            // A byte order mark belongs at the start of the whole text only.
            std::string_view bytes = *marked;
            if (!text.empty() && bytes.starts_with(byteOrderMark))
                bytes.remove_prefix(byteOrderMark.size());
            text += bytes;
        }
    }
    // Conversions that come from no file read get lines of their own, as the writer makes them.
    for (int id = 0; id < categoryCount(); ++id) {
        const Category& category = *categoryAt(id);
        for (const Conversion& conversion : category.conversions()) {
            if (texts_ && texts_->holds(conversion.name())) continue;
            // The reader skips a mark at the very start, so a name that begins with one needs
            // a mark of its own before it to read back the same.
            if (text.empty() && category.name().starts_with(byteOrderMark)) text += byteOrderMark;
            endLine();
            appendField(text, category.name()) += '|';
            appendField(text, conversion.name()) += '|';
            appendField(text, conversion.fromUnit()) += '|';
            appendField(text, conversion.toUnit()) += '|';
            appendField(text, conversion.formula());
            if (category.visible() == 0) text += "|0";
            text += "\r\n";
        }
    }
    return text;
}

bool ConversionCatalog::save(const std::string& path, FileOps& ops) const {
    const std::optional<std::string> text = fileText();
    return text && writeWholeFile(path, *text, ops).written;
}

bool ConversionCatalog::save(const std::string& path) const {
    return save(path, FileOps::real());
}

WriteResult ConversionCatalog::saveKeepingDiskEdits(const std::string& path, FileOps& ops) const {
    const auto choices = visibilityChoices();
    if (choices.empty()) return {true, false, {}, {}};
    // Another instance closing at the same time waits here, then reads what this one wrote.
    const auto failed = [](std::string why) {
        return WriteResult{false, false, {}, std::move(why)};
    };
    std::optional<FileLock> lock = FileLock::acquire(path);
    if (!lock) return failed("it could not be opened to be locked");
    // An editor that wrote the file between the read and the write is seen: then it is read
    // again and the choices are carried over once more.
    for (int attempt = 0; attempt < 3; ++attempt) {
        std::string bytes;
        if (!readWholeFile(path, bytes)) return failed("it could not be read again");
        const std::optional<std::string> marked = withHiddenMarks(bytes, choices);
        if (!marked)
            return failed("the last line of a category shown or hidden cannot carry the hidden "
                          "mark: it has seven fields or more, or would be longer than 255 "
                          "characters");
        if (*marked == bytes) return {true, false, {}, {}};
        bool changedMeanwhile = false;
        WriteResult result = writeWholeFile(path, *marked, ops, [&] {
            std::string now;
            changedMeanwhile = !readWholeFile(path, now) || now != bytes;
            return !changedMeanwhile;
        });
        if (result || !changedMeanwhile) return result;
        // The editor may have put a new file in its place: that is the one to lock now.
        lock.reset();
        std::optional<FileLock> again = FileLock::acquire(path);
        if (!again) return failed("it could not be opened to be locked");
        lock.emplace(std::move(*again));
    }
    return failed("it kept changing while it was written");
}

WriteResult ConversionCatalog::saveKeepingDiskEdits(const std::string& path) const {
    return saveKeepingDiskEdits(path, FileOps::real());
}
