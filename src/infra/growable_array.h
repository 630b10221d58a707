#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

#include "infra/large_blocks.h"

// Lets std::vector grow without writing the new elements (default- rather than
// value-initialisation), so that a caller about to overwrite them pays no zero-fill.
template <typename T>
struct UninitializedAllocator : std::allocator<T>
{
    static_assert(std::is_trivially_default_constructible<T>::value, "only for plain values");

    template <typename U>
    struct rebind
    {
        using other = UninitializedAllocator<U>;
    };

    UninitializedAllocator() = default;
    template <typename U>
    UninitializedAllocator(const UninitializedAllocator<U>&) noexcept
    {}

    template <typename U>
    void construct(U* p) noexcept
    {
        ::new (static_cast<void*>(p)) U;
    }
    template <typename U, typename... Args>
    void construct(U* p, Args&&... args)
    {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
};

// For arrays of many megabytes filled once: UninitializedAllocator's storage aligned to the
// kernel's 2 MiB pages and marked for them, so that filling it takes a page fault for each
// 2 MiB rather than for each 4 KiB (34 MB of them took a tenth of an analysis of degree 1024), and
// kept for reuse once freed (see TakeLargeBlock).
template <typename T>
struct LargePageAllocator : UninitializedAllocator<T>
{
    template <typename U>
    struct rebind
    {
        using other = LargePageAllocator<U>;
    };

    LargePageAllocator() = default;
    template <typename U>
    LargePageAllocator(const LargePageAllocator<U>&) noexcept
    {}

    T* allocate(size_t n)
    {
        if (n > (SIZE_MAX - kLargePageBytes) / sizeof(T))
            throw std::bad_alloc();
        void* p = TakeLargeBlock(BlockBytes(n));
        if (p == nullptr)
            throw std::bad_alloc();
        return static_cast<T*>(p);
    }
    void deallocate(T* p, size_t n) noexcept { ReturnLargeBlock(p, BlockBytes(n)); }

private:
    static size_t BlockBytes(size_t n)
    {
        return (n * sizeof(T) + kLargePageBytes - 1) / kLargePageBytes * kLargePageBytes;
    }
};

template <typename T, typename U>
bool operator==(const LargePageAllocator<T>&, const LargePageAllocator<U>&)
{
    return true;
}
template <typename T, typename U>
bool operator!=(const LargePageAllocator<T>&, const LargePageAllocator<U>&)
{
    return false;
}

// A contiguous, index-addressed array of plain values with a 32-bit signed length.
// Growing keeps the existing elements and zero-fills the new ones; a size of 0 (or less)
// releases the storage. Out of memory surfaces as std::bad_alloc.
template <typename T>
class GrowableArray
{
public:
    int32_t GetSize() const { return static_cast<int32_t>(m_a.size()); }

    void SetSize(int32_t nSize)
    {
        const size_t nOld = m_a.size();
        SetSizeForOverwrite(nSize);
        if (m_a.size() > nOld)
            std::fill(m_a.begin() + static_cast<std::ptrdiff_t>(nOld), m_a.end(), T{});
    }

    // Like SetSize, but new elements are left unwritten: for a caller that writes every
    // element it will read before reading it.
    void SetSizeForOverwrite(int32_t nSize)
    {
        if (nSize <= 0)
        {
            Storage().swap(m_a);
            return;
        }
        m_a.resize(static_cast<size_t>(nSize));
    }

    // Makes room for nSize elements without changing the size or the contents, so a
    // later SetSize up to nSize cannot fail. Throws std::bad_alloc with the array intact.
    void Reserve(int32_t nSize)
    {
        if (nSize > 0)
            m_a.reserve(static_cast<size_t>(nSize));
    }

    // How many elements fit without growing the storage.
    int64_t GetCapacity() const { return static_cast<int64_t>(m_a.capacity()); }

    T& operator[](int32_t i) { return m_a[static_cast<size_t>(i)]; }
    const T& operator[](int32_t i) const { return m_a[static_cast<size_t>(i)]; }

    T* GetData() { return m_a.data(); }
    const T* GetData() const { return m_a.data(); }

private:
    using Storage = std::vector<T, UninitializedAllocator<T>>;
    Storage m_a;
};

// The arrays of samples and coordinates.
using FloatArray = GrowableArray<float>;
using DoubleArray = GrowableArray<double>;
