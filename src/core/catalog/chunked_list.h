#pragma once

#include <bit>
#include <cstddef>
#include <iterator>
#include <memory>
#include <vector>

// An append-only list whose elements never move: they live in chunks of 2, 4, ... 256 and then
// 256 elements, so that a small list stays small, a long one wastes at most one chunk, and a
// reference handed out stays valid for the list's life.
template <typename T> class ChunkedList {
  public:
    class const_iterator {
      public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = T;
        using difference_type = std::ptrdiff_t;
        using pointer = const T*;
        using reference = const T&;

        const_iterator() = default;
        const_iterator(const ChunkedList* list, std::size_t index) : list_(list), index_(index) {}
        const T& operator*() const { return (*list_)[index_]; }
        const T* operator->() const { return &(*list_)[index_]; }
        const_iterator& operator++() {
            ++index_;
            return *this;
        }
        const_iterator operator++(int) {
            const_iterator before = *this;
            ++index_;
            return before;
        }
        bool operator==(const const_iterator& other) const { return index_ == other.index_; }

      private:
        const ChunkedList* list_ = nullptr;
        std::size_t index_ = 0;
    };

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    const T& operator[](std::size_t index) const {
        const Place place = placeOf(index);
        return chunks_[place.chunk][place.offset];
    }
    T& operator[](std::size_t index) {
        const Place place = placeOf(index);
        return chunks_[place.chunk][place.offset];
    }
    const T& back() const { return (*this)[size_ - 1]; }
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size_}; }

    T& emplace_back() {
        const Place place = placeOf(size_);
        if (place.chunk == chunks_.size())
            chunks_.push_back(std::make_unique<T[]>(capacityOf(place.chunk)));
        ++size_;
        return chunks_[place.chunk][place.offset];
    }

  private:
    static constexpr std::size_t first = 2;
    static constexpr std::size_t largest = 256;
    // Chunks 0 to 7 hold 2, 4, ... 256 elements, 510 in all; every later one 256.
    static constexpr std::size_t growing = 8;
    static constexpr std::size_t inGrowing = first * ((std::size_t{1} << growing) - 1);

    struct Place {
        std::size_t chunk;
        std::size_t offset;
    };
    static std::size_t capacityOf(std::size_t chunk) {
        return chunk < growing ? first << chunk : largest;
    }
    static Place placeOf(std::size_t index) {
        if (index >= inGrowing)
            return {growing + (index - inGrowing) / largest, (index - inGrowing) % largest};
        const std::size_t chunk = static_cast<std::size_t>(std::bit_width(index / first + 1)) - 1;
        return {chunk, index - first * ((std::size_t{1} << chunk) - 1)};
    }

    std::vector<std::unique_ptr<T[]>> chunks_;
    std::size_t size_ = 0;
};
