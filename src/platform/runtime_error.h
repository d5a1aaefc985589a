#pragma once

#include <stdexcept>
#include <string>

namespace quorvane {

// What went wrong in a runtime error; the message box shows the text, tests check the kind.
enum class ErrorKind {
    Overflow,         // arithmetic left the range of its type
    IndexOutOfRange,  // a position or index outside its string, array or image
    InvalidArgument,  // a value the operation cannot take (for example a bad conversion)
};

// The program's one runtime-error exception type. Raised where the arithmetic or indexing of
// the behaviour would fault; caught at the edge of every tick and window event.
class RuntimeError : public std::runtime_error {
  public:
    RuntimeError(ErrorKind kind, const std::string& what);
    ErrorKind kind() const noexcept { return kind_; }

  private:
    ErrorKind kind_;
};

[[noreturn]] void raiseOverflow(const std::string& where);
[[noreturn]] void raiseIndexOutOfRange(const std::string& where);
[[noreturn]] void raiseInvalidArgument(const std::string& where);

}  // namespace quorvane
