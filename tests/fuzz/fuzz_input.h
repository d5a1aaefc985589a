#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "platform/byte_string.h"

namespace quorvane::fuzz {

// Reads a fuzzer's input as a stream of small decisions and byte runs; past the end every
// read gives zeros, so a target never has to check what is left.
class FuzzInput {
  public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool Empty() const { return pos_ >= size_; }
    std::size_t Remaining() const { return size_ - pos_; }

    std::uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    std::uint16_t Word() { return static_cast<std::uint16_t>(Byte() << 8 | Byte()); }
    bool Bit() { return (Byte() & 1) != 0; }

    // Up to n bytes (fewer at the end of the input).
    Bytes Take(std::size_t n) {
        n = std::min(n, Remaining());
        Bytes out(data_ + pos_, data_ + pos_ + n);
        pos_ += n;
        return out;
    }
    Bytes Rest() { return Take(Remaining()); }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

// A broken invariant is a finding: libFuzzer keeps the input that made the process abort.
[[noreturn]] inline void Finding(const char* what) {
    std::fprintf(stderr, "finding: %s\n", what);
    std::abort();
}

#define QUORVANE_FUZZ_CHECK(cond)             \
    do {                                      \
        if (!(cond)) {                        \
            ::quorvane::fuzz::Finding(#cond); \
        }                                     \
    } while (false)

}  // namespace quorvane::fuzz
