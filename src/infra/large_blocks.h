#pragma once

#include <sys/mman.h>

#include <cstddef>
#include <cstdint>

constexpr size_t kLargePageBytes = size_t{1} << 21;

// Marks the whole 2 MiB pages within nBytes from p for the kernel's large pages, so that filling
// them takes a page fault for each 2 MiB rather than for each 4 KiB. Only advice: without large
// pages the storage works as any other.
inline void AdviseLargePages(const void* p, size_t nBytes)
{
    const auto nStart = reinterpret_cast<uintptr_t>(p);
    const uintptr_t nFirst = (nStart + kLargePageBytes - 1) & ~(kLargePageBytes - 1);
    const uintptr_t nEnd = (nStart + nBytes) & ~(kLargePageBytes - 1);
    if (nEnd > nFirst)
        madvise(reinterpret_cast<void*>(nFirst), nEnd - nFirst, MADV_HUGEPAGE);
}

// Gives the whole 4 KiB pages within nBytes from p back to the kernel, which maps them afresh,
// cleared, if they are written again: storage whose contents are done with, in the middle of
// an array kept for its first part.
inline void ReleasePages(void* p, size_t nBytes)
{
    constexpr uintptr_t kPage = 4096;
    const auto nStart = reinterpret_cast<uintptr_t>(p);
    const uintptr_t nFirst = (nStart + kPage - 1) & ~(kPage - 1);
    const uintptr_t nEnd = (nStart + nBytes) & ~(kPage - 1);
    if (nEnd > nFirst)
        madvise(reinterpret_cast<void*>(nFirst), nEnd - nFirst, MADV_DONTNEED);
}

// Blocks of whole 2 MiB pages for arrays of many megabytes, kept for reuse once freed: a
// transform run again on the same sizes (a notebook's loop, an iterative solver) then writes
// into pages it already has, where fresh ones take a page fault each and are cleared by the
// kernel first (a twentieth of an analysis of degree 1024). At most kKeptBlockBytes are kept, the
// most recently freed first.
constexpr size_t kKeptBlockBytes = size_t{256} << 20;

// nBytes, a whole number of 2 MiB pages, aligned to them; nullptr when out of memory.
void* TakeLargeBlock(size_t nBytes);
// Gives back a block from TakeLargeBlock of the same size.
void ReturnLargeBlock(void* p, size_t nBytes) noexcept;
