#pragma once

#include <cstdint>

// For arrays read or written by degree across the orders: each order is a stream of its own,
// more streams, at less regular strides, than the processor follows. Fetches the cache line two
// ahead of p in one of them, for the degrees a few up. Only an address is formed, never
// dereferenced, so it may lie past the end of the array.
enum class PrefetchFor
{
    kReading = 0,
    kWriting = 1
};

template <PrefetchFor For>
inline void PrefetchTwoLinesAhead(const void* p)
{
    __builtin_prefetch(reinterpret_cast<const void*>(reinterpret_cast<uintptr_t>(p) + 128),
                       static_cast<int>(For));
}
