#pragma once

#include <gtest/gtest.h>

#include "platform/runtime_error.h"

namespace quorvane::test {

// The kind of the RuntimeError that f raises; a test failure when it raises none.
template <typename F>
ErrorKind KindOf(F&& f) {
    try {
        f();
    } catch (const RuntimeError& e) {
        return e.kind();
    }
    ADD_FAILURE() << "no RuntimeError raised";
    return ErrorKind::InvalidArgument;
}

}  // namespace quorvane::test
