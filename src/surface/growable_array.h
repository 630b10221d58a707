#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

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
        if (nSize <= 0)
        {
            std::vector<T>().swap(m_a);
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

    T& operator[](int32_t i) { return m_a[static_cast<size_t>(i)]; }
    const T& operator[](int32_t i) const { return m_a[static_cast<size_t>(i)]; }

    T* GetData() { return m_a.data(); }
    const T* GetData() const { return m_a.data(); }

private:
    std::vector<T> m_a;
};
