#include "files/line_reader.h"

#include <algorithm>
#include <cstring>

bool LineReader::refill() {
    // The stream belongs to this reader alone: it is read ahead in blocks.
    if (!file_) return false;
    block_.resize(16384);
    const std::size_t size = std::fread(block_.data(), 1, block_.size(), file_);
    text_ = std::string_view(block_.data(), size);
    at_ = 0;
    return size > 0;
}

int LineReader::getRaw() {
    if (at_ == text_.size() && !refill()) return EOF;
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
    // Gathered in a fixed buffer and handed over at once; runs of plain characters are copied
    // straight from the bytes at hand, so that a catalog of many lines reads at the speed of
    // memory.
    char buffer[maxPiece];
    std::size_t size = 0;
    while (size < maxPiece) {
        if (!havePending_ && at_ < text_.size()) {
            const char* start = text_.data() + at_;
            const std::size_t room = std::min(text_.size() - at_, maxPiece - size);
            const void* lineEnd = std::memchr(start, '\n', room);
            const std::size_t plain =
                lineEnd ? static_cast<std::size_t>(static_cast<const char*>(lineEnd) - start)
                        : room;
            const void* carriage = std::memchr(start, '\r', plain);
            const std::size_t run =
                carriage ? static_cast<std::size_t>(static_cast<const char*>(carriage) - start)
                         : plain;
            std::memcpy(buffer + size, start, run);
            size += run;
            at_ += run;
            if (size == maxPiece) break;
            // What follows is a line end, a CR or the end of the bytes: one character at a time.
        }
        const int c = get();
        if (c == EOF) break;
        buffer[size++] = static_cast<char>(c);
        if (c == '\n') break;
    }
    piece.assign(buffer, size);
    return size > 0;
}
