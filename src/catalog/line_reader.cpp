#include "catalog/line_reader.h"

int LineReader::getRaw() {
    if (file_) return std::getc(file_);
    if (at_ == text_.size()) return EOF;
    return static_cast<unsigned char>(text_[at_++]);
}

int LineReader::get() {
    int c;
    if (havePending_) {
        havePending_ = false;
        c = pending_;
    } else {
        c = getRaw();
    }
    if (c != '\r') return c;
    const int following = getRaw();
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
