#pragma once

#include <string>
#include <utility>
#include <variant>

#include "platform/runtime_error.h"

namespace quorvane {

// How the layers above the platform report a failure to a person: what failed, as a cause
// the caller can branch on, and the text to show. Our own type because std::expected needs
// -std=c++23, which Debian 12's GCC 12 and the MinGW cross build do not take as a whole.
template <class Cause>
struct Failure {
    Cause cause;
    std::string text;  // the whole message, ready for a message box or standard error
};

// A step that either succeeds with nothing to hand back, or fails.
struct Done {};

// A value, or the failure that left none. Reading the value of a failure, or the failure of a
// value, is a fault of the caller and raises InvalidArgument.
template <class T, class Cause>
class [[nodiscard]] Result {
  public:
    Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}  // NOLINT: implicit
    Result(Failure<Cause> failure)  // NOLINT: implicit, as a returned failure reads best
        : state_(std::in_place_index<1>, std::move(failure)) {}

    bool ok() const { return state_.index() == 0; }
    explicit operator bool() const { return ok(); }

    T& value() { return ok() ? std::get<0>(state_) : Misread<T&>("a value"); }
    const T& value() const { return ok() ? std::get<0>(state_) : Misread<const T&>("a value"); }
    T& operator*() { return value(); }
    const T& operator*() const { return value(); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }

    const Failure<Cause>& failure() const {
        return ok() ? Misread<const Failure<Cause>&>("a failure") : std::get<1>(state_);
    }
    Cause cause() const { return failure().cause; }
    const std::string& text() const { return failure().text; }

  private:
    template <class R>
    [[noreturn]] static R Misread(const char* what) {
        raiseInvalidArgument(std::string("a result read as ") + what);
    }

    std::variant<T, Failure<Cause>> state_;
};

// A step's result when success carries nothing.
template <class Cause>
using Status = Result<Done, Cause>;

}  // namespace quorvane
