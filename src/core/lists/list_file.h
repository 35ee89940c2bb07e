#pragma once

#include "files/whole_file_writer.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// The user's own lists beside conv.ini (favourite and recent conversions, the last conversion,
// the view's choices): UTF-8 text, one record a line. A write changes only the lines this
// instance added or removed, applied to what is on disk when it writes, so that two instances that
// both write keep both sets of changes, and a line no instance can use stays where it is.

// The lines of the file at path without their line ends (LF or CR LF); none for a file that is
// missing or cannot be read, which readable then says.
std::vector<std::string> readListLines(const std::string& path, bool* readable = nullptr);

struct ListEdits {
    // Lines taken out wherever they stand.
    std::vector<std::string> removed = {};
    // Lines put in, in this order, at the top or at the end; one already in the file moves there.
    std::vector<std::string> added = {};
    bool addAtTop = false;
    // At most this many of the lines that counts accepts are kept, the oldest dropped from the
    // end; lines counts refuses are kept whatever their number. Zero: no limit.
    std::size_t limit = 0;
    std::function<bool(std::string_view)> counts = {};

    bool empty() const { return removed.empty() && added.empty(); }
};

// lines with the edits applied.
std::vector<std::string> applyListEdits(std::vector<std::string> lines, const ListEdits& edits);

// The file at path with the edits applied to what it holds now, locked against other instances
// meanwhile; written whole or not at all, made when missing. Nothing is written without edits.
WriteResult saveListEdits(const std::string& path, const ListEdits& edits,
                          FileOps& ops = FileOps::real());
