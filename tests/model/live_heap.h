#pragma once
// The bytes this test program holds on the heap right now. Linking
// live_heap.cpp replaces the global allocation functions to keep the count.

#include <cstdint>

namespace zorukan::model {

std::int64_t live_heap_bytes();

}  // namespace zorukan::model
