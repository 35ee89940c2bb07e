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
    // Opens an existing file to be written over from its start, emptied; nullptr on failure.
    virtual std::FILE* openForRewrite(const std::string& path);
    virtual bool write(std::FILE* file, const char* data, std::size_t size);
    virtual bool flush(std::FILE* file);
    virtual bool close(std::FILE* file);
    virtual bool rename(const std::string& from, const std::string& to);
    virtual void remove(const std::string& path);

    static FileOps& real();
};

// Replaces the file at path with content, whole or not at all: the bytes go to a temporary file
// in the same folder, every step is checked, and only a complete file is renamed over the old
// one. Where the folder refuses a new file but the file itself may be written, it is written in
// place instead, every step checked, and on failure its old bytes are written back. On failure
// the old file is left as it was and false is returned.
bool writeWholeFile(const std::string& path, std::string_view content,
                    FileOps& ops = FileOps::real());

// The whole content of the file at path into bytes. False when it cannot be opened or read, or
// is a folder.
bool readWholeFile(const std::string& path, std::string& bytes);
