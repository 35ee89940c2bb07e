#include "catalog/text_store.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

// Texts added one by one go into blocks of this size; a longer one gets a block of its own.
constexpr std::size_t blockSize = 16 * 1024;

} // namespace

std::string_view TextStore::adopt(std::string bytes) {
    return *files_.emplace_back(std::make_unique<std::string>(std::move(bytes)));
}

bool TextStore::holds(std::string_view text) const {
    // Compared as numbers: the pointers may belong to unrelated objects.
    const auto start = reinterpret_cast<std::uintptr_t>(text.data());
    return std::any_of(files_.begin(), files_.end(), [&](const auto& file) {
        const auto begin = reinterpret_cast<std::uintptr_t>(file->data());
        return start >= begin && start + text.size() <= begin + file->size();
    });
}

char* TextStore::allocate(std::size_t size) {
    if (size > blockSize / 4)
        return blocks_.emplace_back(std::make_unique_for_overwrite<char[]>(size)).get();
    if (size > left_) {
        current_ = blocks_.emplace_back(std::make_unique_for_overwrite<char[]>(blockSize)).get();
        left_ = blockSize;
    }
    char* at = current_ + (blockSize - left_);
    left_ -= size;
    return at;
}

std::string_view TextStore::copy(std::string_view text) {
    if (text.empty()) return {};
    char* at = allocate(text.size());
    std::memcpy(at, text.data(), text.size());
    return {at, text.size()};
}
