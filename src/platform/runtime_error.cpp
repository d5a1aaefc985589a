#include "platform/runtime_error.h"

namespace quorvane {

RuntimeError::RuntimeError(ErrorKind kind, const std::string& what)
    : std::runtime_error(what), kind_(kind) {}

void raiseOverflow(const std::string& where) {
    throw RuntimeError(ErrorKind::Overflow, "Overflow in " + where);
}

void raiseIndexOutOfRange(const std::string& where) {
    throw RuntimeError(ErrorKind::IndexOutOfRange, "Index out of range in " + where);
}

void raiseInvalidArgument(const std::string& where) {
    throw RuntimeError(ErrorKind::InvalidArgument, "Invalid argument in " + where);
}

}  // namespace quorvane
