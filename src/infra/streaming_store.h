#pragma once

#include <cstddef>
#include <cstring>

#if defined(__SSE2__)
#include <immintrin.h>
#endif

// For arrays written once and read much later, after far more has passed through the cache: the
// stores go straight to memory, whole lines at a time, without the lines being read into the
// cache first. pTo and pFrom are aligned to 16 bytes, nDoubles even. StreamFence makes the stores
// ordered before the thread's later ones, so that another thread told afterwards sees them.
inline void StreamDoubles(double* pTo, const double* pFrom, size_t nDoubles)
{
#if defined(__SSE2__)
    for (size_t i = 0; i < nDoubles; i += 2)
        _mm_stream_pd(pTo + i, _mm_load_pd(pFrom + i));
#else
    std::memcpy(pTo, pFrom, nDoubles * sizeof(double));
#endif
}

inline void StreamFence()
{
#if defined(__SSE2__)
    _mm_sfence();
#endif
}
