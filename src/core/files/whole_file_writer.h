#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

// The file operations a whole-file write is made of. Tests derive from it to make any single step
// fail; everyone else uses real().
class FileOps {
  public:
    virtual ~FileOps() = default;
    // Creates a new file for writing, open to its owner alone until the writer says otherwise;
    // nullptr when it exists already or cannot be created.
    virtual std::FILE* create(const std::string& path);
    // Opens an existing file to be written over from its start; its bytes stay until written.
    virtual std::FILE* openForUpdate(const std::string& path);
    // Makes the file's room at least size bytes before anything is written, so that a full disk
    // shows here and not halfway through the file.
    virtual bool reserve(std::FILE* file, std::size_t size);
    virtual bool write(std::FILE* file, const char* data, std::size_t size);
    // Ends the file after its first size bytes.
    virtual bool truncate(std::FILE* file, std::size_t size);
    virtual bool flush(std::FILE* file);
    virtual bool close(std::FILE* file);
    virtual bool rename(const std::string& from, const std::string& to);
    virtual void remove(const std::string& path);

    static FileOps& real();
};

struct WriteResult {
    bool written = false;
    // Written in place, failed, and the old bytes could not be put back: the file is damaged.
    // Its old bytes are in rescuedTo, in the system's temporary folder, kept there before the
    // file was touched.
    bool damaged = false;
    std::string rescuedTo;
    // Why it was not written, as the end of a sentence ("the file is read-only"); empty when it
    // was, and where no reason can be told.
    std::string why;

    explicit operator bool() const { return written; }
};

// Replaces the file at path with content, whole or not at all: the bytes go to a temporary file
// in the same folder, with the old file's owner and permissions before any byte is written,
// every step is checked, and only a complete file is renamed over the old one. Where the folder
// refuses a new file but the file itself may be written, it is written in place instead: a copy
// of the old bytes is kept in the temporary folder first (no copy, no write), room for the new
// bytes is made, every step is checked, and on failure the old bytes are written back and read
// back to be sure. On failure the old file is left as it was; should even the writing back fail,
// the result says so and where the copy of the old bytes is.
//
// stillCurrent, when given, is asked right before the old file is replaced; false stops the
// write with nothing changed (someone else changed the file meanwhile).
WriteResult writeWholeFile(const std::string& path, std::string_view content,
                           FileOps& ops = FileOps::real(),
                           const std::function<bool()>& stillCurrent = {});

// Why the file at path cannot be written, as the end of a sentence, found by looking, never by
// writing: the folder is missing or refuses new files, the path is a folder, the file is
// read-only; else that the write failed, which leaves a full disk.
std::string writeFailureReason(const std::string& path);

// What a failed write left behind, for its message: nothing when the file is as it was; else
// " The file NAME could not be put back as it was; its old content is saved as PATH."
std::string damageNote(const WriteResult& result, std::string_view fileName);
