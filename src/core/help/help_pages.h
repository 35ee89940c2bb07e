#pragma once

#include <cstddef>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The files of a help file, read out of it at once and kept in memory: its pages, style sheets,
// pictures, contents and index by name, and what its system header says.
class HelpPages {
  public:
    // Bounds on what a help file may hold; the delivered one holds a dozen files of 55 KB.
    static constexpr std::size_t maxFiles = 4096;
    static constexpr std::size_t maxFileSize = 16u << 20;
    static constexpr std::size_t maxTotalSize = 32u << 20;

    std::string title;
    std::string defaultTopic;
    // The table of contents (.hhc) and the index (.hhk); empty when the file has none.
    std::string contentsFile;
    std::string indexFile;

    // Adds a file named without a leading "/"; false, and nothing added, past the bounds.
    bool add(std::string name, std::string bytes);
    // The bytes of a file, named with or without a leading "/", in any letter case; null when
    // there is none.
    const std::string* find(std::string_view name) const;
    const std::vector<std::pair<std::string, std::string>>& files() const { return files_; }

    // Why a file of the help file is not among its files.
    enum class Unread { TooLarge, Damaged };
    // Notes a file left out, named without a leading "/"; false past the bounds.
    bool leaveOut(std::string name, Unread why);
    // Why the file of that name was left out; nothing when it was not.
    std::optional<Unread> leftOut(std::string_view name) const;

    // What --read-help writes: a header, then records of a kind byte, a name and bytes, each
    // length-prefixed, and an end record. "No help file" has a record of its own.
    void write(std::ostream& out) const;
    static void writeNoHelpFile(std::ostream& out);
    // The most bytes a reply within the bounds can take.
    static constexpr std::size_t maxReplySize = maxTotalSize + 2 * maxFiles * 1100 + 8192;

  private:
    std::vector<std::pair<std::string, std::string>> files_;
    std::vector<std::pair<std::string, Unread>> leftOut_;
    std::size_t totalSize_ = 0;
};

// What --read-help wrote, read back.
struct HelpReply {
    bool helpFile = false; // false for the "no help file" reply
    HelpPages pages;
};
// Nothing when the reply is cut short, malformed or past HelpPages' bounds.
std::optional<HelpReply> decodeHelpReply(std::string_view reply);
