#pragma once

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

    // The bytes of a packed file, named with or without its leading "/"; nothing when it is not
    // in the archive, cannot be read whole or is larger than any help file could need.
    std::optional<std::string> read(std::string_view name) const;
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

    chmFile* file_;
    std::string title_;
    std::string defaultTopic_;
    std::string contentsFile_;
    std::string indexFile_;
};
