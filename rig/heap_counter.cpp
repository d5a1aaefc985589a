// Replaces the global allocation functions with ones that count the bytes in use, so a test can
// tell whether the program's heap grows. Sizes come from the allocator itself
// (malloc_usable_size), which the sanitizers' allocators provide as well.
#include "rig/heap_counter.h"

#include <malloc.h>

#include <cstdlib>
#include <new>

namespace {

std::atomic<std::int64_t> gLive{0};
std::atomic<std::int64_t> gCount{0};

void* Allocate(std::size_t size) {
    void* p = std::malloc(size == 0 ? 1 : size);
    if (p == nullptr) {
        throw std::bad_alloc();
    }
    gLive += static_cast<std::int64_t>(malloc_usable_size(p));
    ++gCount;
    return p;
}

void* AllocateAligned(std::size_t size, std::size_t align) {
    void* p = nullptr;
    if (posix_memalign(&p, align < sizeof(void*) ? sizeof(void*) : align, size == 0 ? 1 : size) !=
        0) {
        throw std::bad_alloc();
    }
    gLive += static_cast<std::int64_t>(malloc_usable_size(p));
    ++gCount;
    return p;
}

void Release(void* p) noexcept {
    if (p != nullptr) {
        gLive -= static_cast<std::int64_t>(malloc_usable_size(p));
        std::free(p);
    }
}

}  // namespace

namespace quorvane::test {
std::int64_t LiveHeapBytes() {
    return gLive.load();
}
std::int64_t HeapAllocations() {
    return gCount.load();
}
}  // namespace quorvane::test

void* operator new(std::size_t size) {
    return Allocate(size);
}
void* operator new[](std::size_t size) {
    return Allocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return Allocate(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return Allocate(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new(std::size_t size, std::align_val_t align) {
    return AllocateAligned(size, static_cast<std::size_t>(align));
}
void* operator new[](std::size_t size, std::align_val_t align) {
    return AllocateAligned(size, static_cast<std::size_t>(align));
}
void operator delete(void* p) noexcept {
    Release(p);
}
void operator delete[](void* p) noexcept {
    Release(p);
}
void operator delete(void* p, std::size_t) noexcept {
    Release(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    Release(p);
}
void operator delete(void* p, std::align_val_t) noexcept {
    Release(p);
}
void operator delete[](void* p, std::align_val_t) noexcept {
    Release(p);
}
void operator delete(void* p, std::size_t, std::align_val_t) noexcept {
    Release(p);
}
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept {
    Release(p);
}
