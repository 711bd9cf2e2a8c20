// Counts every byte taken through operator new and not yet given back. The
// allocator's own size of each block is used, so no header is needed and the
// count works the same under the address sanitizer, which provides
// malloc_usable_size too.

#include "tests/model/live_heap.h"

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<std::int64_t> live_bytes{0};

void* take(std::size_t size) {
    void* block = std::malloc(size == 0 ? 1 : size);
    if (!block) throw std::bad_alloc();
    live_bytes += static_cast<std::int64_t>(malloc_usable_size(block));
    return block;
}

void give_back(void* block) noexcept {
    if (!block) return;
    live_bytes -= static_cast<std::int64_t>(malloc_usable_size(block));
    std::free(block);
}

}  // namespace

std::int64_t zorukan::model::live_heap_bytes() { return live_bytes.load(); }

void* operator new(std::size_t size) { return take(size); }
void* operator new[](std::size_t size) { return take(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return take(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* block) noexcept { give_back(block); }
void operator delete[](void* block) noexcept { give_back(block); }
void operator delete(void* block, std::size_t) noexcept { give_back(block); }
void operator delete[](void* block, std::size_t) noexcept { give_back(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { give_back(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { give_back(block); }
