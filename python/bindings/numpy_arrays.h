#pragma once

#include <pybind11/numpy.h>

#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

#include "infra/growable_array.h"

inline double* DataOf(DoubleArray& aValues)
{
    return aValues.GetData();
}
template <typename T, typename Allocator>
T* DataOf(std::vector<T, Allocator>& aValues)
{
    return aValues.data();
}

// Hands a container (a DoubleArray or a std::vector) to NumPy without copying it: the array of
// that shape views the container's storage, and the container, moved into a capsule, lives as
// long as the array and its views do. The shape's product must be its size.
template <typename Container>
auto AdoptAsArray(Container&& values, std::vector<pybind11::ssize_t> aShape)
{
    static_assert(!std::is_lvalue_reference<Container>::value, "the container is moved into the array");
    using Element = std::remove_pointer_t<decltype(DataOf(values))>;
    auto pOwned = std::make_unique<Container>(std::move(values));
    Element* pData = DataOf(*pOwned);
    const pybind11::capsule owner(pOwned.get(), [](void* p) { delete static_cast<Container*>(p); });
    pOwned.release();
    return pybind11::array_t<Element>(std::move(aShape), pData, owner);
}
