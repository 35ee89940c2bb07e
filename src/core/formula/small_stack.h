#pragma once

#include <array>
#include <cstddef>
#include <vector>

// A stack that lives inside the caller's frame up to Inline entries and moves to the heap only
// for unusually deep formulas, so a typical evaluation allocates nothing for its stacks.
template <typename T, std::size_t Inline> class SmallStack {
  public:
    bool empty() const { return size_ == 0; }
    std::size_t size() const { return size_; }

    void push(const T& value) {
        if (size_ < Inline)
            inline_[size_] = value;
        else
            spill_.push_back(value);
        ++size_;
    }

    T& top() { return size_ <= Inline ? inline_[size_ - 1] : spill_.back(); }

    T pop() {
        T value = top();
        if (size_ > Inline) spill_.pop_back();
        --size_;
        return value;
    }

  private:
    std::array<T, Inline> inline_{};
    std::vector<T> spill_; // the entries above the first Inline ones
    std::size_t size_ = 0;
};
