#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

// An exclusive lock on a file, between the programs that take it: two instances of the program
// closing at the same time write the catalog one after the other, each reading what the other
// wrote. A file replaced by a rename while it was waited for is locked where it now is.
class FileLock {
  public:
    // The lock on the file at path, waited for up to timeout; nothing when the file is missing
    // or no regular file, or when the lock stays taken that long. Where the file system has no
    // locks, the lock is had without one.
    static std::optional<FileLock>
    acquire(const std::string& path, std::chrono::milliseconds timeout = std::chrono::seconds(10));
    ~FileLock();
    FileLock(FileLock&& other) noexcept : handle_(other.handle_) { other.handle_ = -1; }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    FileLock& operator=(FileLock&&) = delete;

  private:
    // A file descriptor on Linux, a HANDLE on Windows; -1 (INVALID_HANDLE_VALUE there) is none.
    explicit FileLock(std::intptr_t handle) : handle_(handle) {}
    std::intptr_t handle_ = -1;
};
