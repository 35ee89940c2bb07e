#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

enum class ReadProblem;

// The catalog file as the program reads it, for the loader and for anything that must see the
// file the same way (the catalog check).

// The fields of one piece of the file. Separators collapse as a tokenizer's do: runs of "|"
// count as one, and "|" at the start or the end gives no field, so no field is empty; each field
// is trimmed of white space. Text after a NUL byte is no part of the piece. The fields are views
// into the piece.
struct CatalogLineFields {
    // The first five fields; the later ones are only counted.
    std::string_view fields[5];
    // The sixth field, the hidden mark, when there is one.
    std::string_view sixth;
    // Every field of the piece, the sixth and later ones included.
    int count = 0;
    // The visible flag: the leading integer of the sixth field when that is the last one, else 1.
    int visible = 1;

    // Fewer than five fields: the reader adds nothing for the piece.
    bool ignored() const { return count < 5; }
};

CatalogLineFields splitCatalogLine(std::string_view line);

// Hands each piece the reader takes from a catalog file's bytes to visit, in file order, as the
// bytes stand in the file: a line of up to 255 characters with its line end (LF or CR LF, which
// counts as one character), or the next 255 characters of a longer one. A UTF-8 byte order mark
// at the very start is no part of the first line. Splitting such a piece gives the fields the
// reader sees.
void forEachCatalogPieceInPlace(std::string_view bytes,
                                const std::function<void(std::string_view piece)>& visit);

// The same pieces as the reader sees them, with a CR LF line end read as LF.
void forEachCatalogPiece(std::string_view bytes,
                         const std::function<void(std::string_view piece)>& visit);

// The same for the file at path. False, with nothing visited, when it cannot be read; the
// reason then goes to problem when given.
bool readCatalogPieces(const std::string& path,
                       const std::function<void(std::string_view piece)>& visit,
                       ReadProblem* problem = nullptr);

// Why the file at path was not read, as the end of a sentence about subject ("conv.txt is a
// folder, not a file", "... is larger than 64 MiB, the most the program reads"); empty when
// there is no more to say than that it could not be read.
std::string readFailureReason(ReadProblem problem, const std::string& path,
                              std::string_view subject);

// A catalog file's bytes with the hidden marks of some categories set, and every other byte as
// it was. Each choice names a category and says whether it is to be shown: its lines lose their
// mark, or gain "|0" after their fifth field (or get a sixth field of "0"). A line that cannot
// carry a mark (seven fields or more, or a piece of a longer line) is left alone. Nothing when
// the marked bytes would not read back as the same catalog with those choices.
std::optional<std::string>
withHiddenMarks(std::string_view bytes,
                const std::vector<std::pair<std::string_view, bool>>& shownByName);
