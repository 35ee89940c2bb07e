#pragma once

#include <optional>
#include <string>
#include <utility>

// How the core reports a failure that someone reads: a value, or the sentence that says why there
// is none. Functions return Result<T>, or Status when there is nothing to give back but done or
// not; either takes a Failure ("return Failure{why};").

struct Failure {
    std::string why;
};

// Done, or why not.
class [[nodiscard]] Status {
  public:
    Status() = default;
    Status(Failure failure) : why_(std::move(failure.why)), ok_(false) {}

    bool ok() const { return ok_; }
    explicit operator bool() const { return ok_; }
    // Empty when done.
    const std::string& why() const { return why_; }

  private:
    std::string why_;
    bool ok_ = true;
};

// A value, or why there is none.
template <typename T> class [[nodiscard]] Result {
  public:
    Result(T value) : value_(std::move(value)) {}
    Result(Failure failure) : why_(std::move(failure.why)) {}

    bool ok() const { return value_.has_value(); }
    explicit operator bool() const { return ok(); }
    // Only when ok.
    const T& value() const& { return *value_; }
    T& value() & { return *value_; }
    T&& value() && { return std::move(*value_); }
    const T& operator*() const& { return *value_; }
    const T* operator->() const { return &*value_; }
    // Empty when ok.
    const std::string& why() const { return why_; }
    // Done or not, without the value.
    Status status() const { return ok() ? Status() : Status(Failure{why_}); }

  private:
    std::optional<T> value_;
    std::string why_;
};
