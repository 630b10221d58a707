#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "sht/field.h"

// The coefficients of every (l, m) up to a degree L in the program's own convention (ortho, no
// Condon-Shortley phase, its own sine sign), as analysis finds them: in ACN order, index
// l^2 + l + m.
inline size_t OwnIndex(int32_t l, int32_t m)
{
    return static_cast<size_t>(int64_t{l} * l + l + m);
}

// The degree l of index i = l^2 + l + m.
inline int32_t OwnDegree(size_t i)
{
    auto l = static_cast<int64_t>(std::sqrt(static_cast<double>(i)));
    while (l * l > static_cast<int64_t>(i))
        --l;
    while ((l + 1) * (l + 1) <= static_cast<int64_t>(i))
        ++l;
    return static_cast<int32_t>(l);
}

inline size_t OwnCount(int32_t nMaxDegree)
{
    return static_cast<size_t>(int64_t{nMaxDegree + 1} * (nMaxDegree + 1));
}

// The same coefficients kept order by order, as the analysis finds them: for each order
// m = 0 .. L, from pair OrderStart(m, L) on, a pair (own(l, m), own(l, -m)) for each degree
// l = m .. L (the second unused for m = 0).
inline size_t OrderStart(int32_t m, int32_t nMaxDegree)
{
    return static_cast<size_t>(int64_t{m} * (nMaxDegree + 1) - int64_t{m} * (m - 1) / 2);
}

// The field of those coefficients in a convention, every (l, m) a term in ACN order: each
// coefficient divided by the convention's factor, so that the field sums to the same function.
// Throws std::runtime_error where a factor is beyond the double range.
Field FieldFromOwn(const std::vector<double>& aOwn, int32_t nMaxDegree, const Convention& convention);
// The same from coefficients kept order by order, OrderStart(L + 1, L) pairs, on up to nThreads
// threads, into field: its terms' storage is kept where it has room for them, so that a field
// filled again (an analysis in a loop) writes into pages it already has. On a throw its terms are
// unspecified.
void FieldFromOrders(const double* pByOrder, int32_t nMaxDegree, const Convention& convention,
                     unsigned nThreads, Field& field);

// The coefficients of a field in the own convention up to degree nMaxDegree (terms above it and
// terms that are 0 everywhere left out, repeated terms added). Throws as FieldFromOwn.
std::vector<double> OwnFromField(const Field& field, int32_t nMaxDegree);
