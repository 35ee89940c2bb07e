#pragma once

#include "catalog/whole_file_writer.h"

#include <string>

// Fails exactly one step of a whole-file write.
class FailingOps : public FileOps {
  public:
    enum Step { Create, Write, Flush, Close, Rename };
    FailingOps(Step step, int writeNumber = 1) : step_(step), writeNumber_(writeNumber) {}
    std::FILE* create(const std::string& path) override {
        return step_ == Create ? nullptr : FileOps::create(path);
    }
    bool write(std::FILE* file, const char* data, std::size_t size) override {
        if (step_ == Write && ++writes_ == writeNumber_) {
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
    int writes_ = 0;
};
