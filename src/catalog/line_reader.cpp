#include "catalog/line_reader.h"

int LineReader::get() {
    int c;
    if (havePending_) {
        havePending_ = false;
        c = pending_;
    } else {
        c = std::getc(file_);
    }
    if (c != '\r') return c;
    const int following = std::getc(file_);
    if (following == '\n') return '\n';
    pending_ = following;
    havePending_ = true;
    return '\r';
}

bool LineReader::next(std::string& piece) {
    piece.clear();
    while (piece.size() < maxPiece) {
        const int c = get();
        if (c == EOF) break;
        piece.push_back(static_cast<char>(c));
        if (c == '\n') break;
    }
    return !piece.empty();
}
