#pragma once

#include "files/whole_file_writer.h"

#include <string>

// Fails one step of a whole-file write: for Write, the writes numbered writeNumber on (counted
// from 1, failures of them), each after writing half its bytes. In place, the folder also
// refuses the temporary file, so the file is written over where it is.
class FailingOps : public FileOps {
  public:
    enum Step { Create, Write, Flush, Close, Rename, Reserve };
    FailingOps(Step step, int writeNumber = 1, bool inPlace = false, int failures = 1)
        : step_(step), writeNumber_(writeNumber), inPlace_(inPlace), failures_(failures) {}
    std::FILE* create(const std::string& path) override {
        return step_ == Create || inPlace_ ? nullptr : FileOps::create(path);
    }
    std::FILE* openForUpdate(const std::string& path) override {
        return step_ == Create ? nullptr : FileOps::openForUpdate(path);
    }
    bool reserve(std::FILE* file, std::size_t size) override {
        return step_ != Reserve && FileOps::reserve(file, size);
    }
    bool write(std::FILE* file, const char* data, std::size_t size) override {
        if (step_ == Write && ++writes_ >= writeNumber_ && writes_ < writeNumber_ + failures_) {
            FileOps::write(file, data, size / 2);
            return false;
        }
        return FileOps::write(file, data, size);
    }
    bool flush(std::FILE* file) override { return step_ != Flush && FileOps::flush(file); }
    bool close(std::FILE* file) override {
        const bool closed = FileOps::close(file);
        return step_ != Close && closed;
    }
    bool rename(const std::string& from, const std::string& to) override {
        return step_ != Rename && FileOps::rename(from, to);
    }

  private:
    Step step_;
    int writeNumber_;
    bool inPlace_;
    int failures_;
    int writes_ = 0;
};
