#pragma once

#include <functional>
#include <string>
#include <string_view>

// The catalog file as the program reads it, for the loader and for anything that must see the
// file the same way (the catalog check).

// The fields of one piece of the file. Separators collapse as a tokenizer's do: runs of "|"
// count as one, and "|" at the start or the end gives no field, so no field is empty; each field
// is trimmed of white space. Text after a NUL byte is no part of the piece.
struct CatalogLineFields {
    // The first five fields; the later ones are only counted.
    std::string_view fields[5];
    // Every field of the piece, the sixth and later ones included.
    int count = 0;
    // The visible flag: the leading integer of the sixth field when that is the last one, else 1.
    int visible = 1;

    // Fewer than five fields: the reader adds nothing for the piece.
    bool ignored() const { return count < 5; }
};

CatalogLineFields splitCatalogLine(std::string_view line);

// Hands each piece the reader takes from a catalog file's bytes to visit, in file order: a line
// of up to 255 characters with its line end (CR LF seen as LF), or the next 255 characters of a
// longer one. A UTF-8 byte order mark at the very start is no part of the first line.
void forEachCatalogPiece(std::string_view bytes,
                         const std::function<void(std::string_view piece)>& visit);

// The same for the file at path. False, with nothing visited, when it cannot be read.
bool readCatalogPieces(const std::string& path,
                       const std::function<void(std::string_view piece)>& visit);
