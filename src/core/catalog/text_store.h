#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

// Where the catalog's texts live: the bytes of each file read, kept whole, and blocks for the
// texts added one by one. Nothing in it moves or goes away before the store does, so the
// records may simply point into it.
class TextStore {
  public:
    // Keeps the bytes of a file as they are and gives them back in their new place.
    std::string_view adopt(std::string bytes);
    // The files' bytes, in the order they were adopted.
    const std::vector<std::unique_ptr<std::string>>& files() const { return files_; }
    // True when text lies inside the bytes of an adopted file.
    bool holds(std::string_view text) const;

    // Room for size bytes that stays where it is.
    char* allocate(std::size_t size);
    std::string_view copy(std::string_view text);

  private:
    std::vector<std::unique_ptr<std::string>> files_;
    std::vector<std::unique_ptr<char[]>> blocks_;
    // The block small texts go into, and the room left at its end.
    char* current_ = nullptr;
    std::size_t left_ = 0;
};
