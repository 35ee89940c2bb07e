#pragma once

#include <cstdio>
#include <string>
#include <string_view>

// Reads a text file in pieces the way the catalog and settings files are read everywhere:
// CR LF is seen as LF, and a piece holds at most 255 characters, its LF included when it fits.
// A longer line therefore arrives as several pieces.
class LineReader {
  public:
    static constexpr std::size_t maxPiece = 255;

    explicit LineReader(std::FILE* file) : file_(file) {}
    // Reads bytes already in memory, which must outlive the reader.
    explicit LineReader(std::string_view text) : text_(text) {}

    // The next piece into piece; false at the end of the file or after a read error.
    bool next(std::string& piece);

  private:
    int get();
    int getRaw();
    // The file's next block into text_; false at its end, and always for bytes in memory.
    bool refill();

    std::FILE* file_ = nullptr;
    // The bytes at hand: all of them in memory, or the block of the file read last.
    std::string_view text_;
    std::size_t at_ = 0;
    std::string block_;
    int pending_ = EOF;
    bool havePending_ = false;
};
