#pragma once

#include <cstdio>
#include <string>
#include <string_view>

// The file operations a whole-file write is made of. Tests derive from it to make any single step
// fail; everyone else uses real().
class FileOps {
  public:
    virtual ~FileOps() = default;
    // Creates a new file for writing; nullptr when it exists already or cannot be created.
    virtual std::FILE* create(const std::string& path);
    virtual bool write(std::FILE* file, const char* data, std::size_t size);
    virtual bool flush(std::FILE* file);
    virtual bool close(std::FILE* file);
    virtual bool rename(const std::string& from, const std::string& to);
    virtual void remove(const std::string& path);

    static FileOps& real();
};

// Replaces the file at path with content, whole or not at all: the bytes go to a temporary file
// in the same folder, every step is checked, and only a complete file is renamed over the old
// one. On failure the old file is left exactly as it was and false is returned.
bool writeWholeFile(const std::string& path, std::string_view content,
                    FileOps& ops = FileOps::real());
