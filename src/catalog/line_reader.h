#pragma once

#include <cstdio>
#include <string>

// Reads a text file in pieces the way the catalog and settings files are read everywhere:
// CR LF is seen as LF, and a piece holds at most 255 characters, its LF included when it fits.
// A longer line therefore arrives as several pieces.
class LineReader {
  public:
    static constexpr std::size_t maxPiece = 255;

    explicit LineReader(std::FILE* file) : file_(file) {}

    // The next piece into piece; false at the end of the file or after a read error.
    bool next(std::string& piece);

  private:
    int get();

    std::FILE* file_;
    int pending_ = EOF;
    bool havePending_ = false;
};
