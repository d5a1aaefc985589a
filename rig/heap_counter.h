#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

namespace quorvane::test {

// Bytes held by the C++ allocation functions of this executable, counted by the replacements
// defined in heap_counter.cpp (the quorvane_heap_count library, for soak runs and measures).
std::int64_t LiveHeapBytes();
std::int64_t HeapAllocations();

}  // namespace quorvane::test
