#include "lists/list_file.h"

#include "files/file_lock.h"
#include "files/file_system.h"
#include "files/whole_file_reader.h"

#include <algorithm>
#include <optional>

std::vector<std::string> readListLines(const std::string& path, bool* readable) {
    std::string bytes;
    ReadProblem problem = ReadProblem::None;
    const bool read = readWholeFile(path, bytes, &problem);
    if (readable) *readable = read || problem == ReadProblem::Missing;
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < bytes.size()) {
        std::size_t end = bytes.find('\n', at);
        if (end == std::string::npos) end = bytes.size();
        std::string line = bytes.substr(at, end - at);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        at = end + 1;
    }
    return lines;
}

std::vector<std::string> applyListEdits(std::vector<std::string> lines, const ListEdits& edits) {
    const auto listed = [](const std::vector<std::string>& list, const std::string& line) {
        return std::find(list.begin(), list.end(), line) != list.end();
    };
    std::erase_if(lines, [&](const std::string& line) {
        return listed(edits.removed, line) || listed(edits.added, line);
    });
    lines.insert(edits.addAtTop ? lines.begin() : lines.end(), edits.added.begin(),
                 edits.added.end());
    if (edits.limit > 0) {
        std::size_t counted = 0;
        std::erase_if(lines, [&](const std::string& line) {
            return (!edits.counts || edits.counts(line)) && ++counted > edits.limit;
        });
    }
    return lines;
}

WriteResult saveListEdits(const std::string& path, const ListEdits& edits, FileOps& ops) {
    if (edits.empty()) return {true, false, {}, {}};
    // The lock needs a file: a first write makes an empty one to take it on.
    if (std::FILE* made = createNewFile(path)) {
        ownerAndModeLike(made, path);
        std::fclose(made);
    }
    // Another instance writing at the same time waits here, then reads what this one wrote.
    const std::optional<FileLock> lock = FileLock::acquire(path);
    bool readable = true;
    const std::vector<std::string> lines = readListLines(path, &readable);
    if (!readable) return {false, false, {}, "it could not be read again"};
    std::string text;
    for (const std::string& line : applyListEdits(lines, edits))
        text += line + "\r\n";
    return writeWholeFile(path, text, ops);
}
