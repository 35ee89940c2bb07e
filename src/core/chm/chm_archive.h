#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct chmFile;

// A compiled help file opened for reading: its pages, style sheets and tables by name, and what
// its system header says about it. Plain C++ over libchm.
class ChmArchive {
  public:
    // The archive at path, or null when it is missing or no CHM file.
    static std::unique_ptr<ChmArchive> open(const std::string& path);
    ~ChmArchive();
    ChmArchive(const ChmArchive&) = delete;
    ChmArchive& operator=(const ChmArchive&) = delete;

    // A packed file read out, or why it was not.
    struct Read {
        enum class Status {
            Read,     // bytes holds it whole
            Missing,  // no such file
            TooLarge, // larger than the limit asked for
            Damaged,  // its place is outside its section, or it could not be unpacked whole
        };
        Status status = Status::Missing;
        std::string bytes;
    };
    // The packed file named with or without its leading "/", read whole when it is no larger than
    // limit.
    Read fetch(std::string_view name, std::size_t limit = maxFileSize) const;
    // The bytes of a packed file; nothing when it is not in the archive, cannot be read whole or
    // is larger than any help file could need.
    std::optional<std::string> read(std::string_view name) const;
    // Whether the archive's own tables agree with each other: the compressed section's control
    // data, its reset table, its span and the length of its content, and the place of every
    // packed file inside its section. The CHM library trusts them and unpacks whatever they point
    // at; it has no checksum of what it unpacks.
    bool tablesAgree() const { return tablesAgree_; }
    bool contains(std::string_view name) const;

    // From the system header; empty when the header does not say.
    const std::string& title() const { return title_; }
    const std::string& defaultTopic() const { return defaultTopic_; }
    // The table of contents (.hhc): the one the header names, else the first packed one.
    const std::string& contentsFile() const { return contentsFile_; }
    // The index (.hhk): the one the header names, else the first packed one.
    const std::string& indexFile() const { return indexFile_; }
    // The names of the packed files, without the leading "/" and without the archive's own
    // tables, at most maxNames of them.
    std::vector<std::string> fileNames(std::size_t maxNames = 8192) const;

    static constexpr std::size_t maxFileSize = 16u << 20;

  private:
    explicit ChmArchive(chmFile* file) : file_(file) {}
    void readSystemHeader();

    bool checkTables();

    // The unpacked length of the compressed section; 0 when there is none or its tables disagree,
    // so that nothing of it is unpacked.
    std::uint64_t packedSpan_ = 0;
    bool tablesAgree_ = false;
    chmFile* file_;
    std::string title_;
    std::string defaultTopic_;
    std::string contentsFile_;
    std::string indexFile_;
};
