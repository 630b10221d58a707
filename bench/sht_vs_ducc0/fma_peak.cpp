// Built for the processor it runs on (-march=native), as the peers are.
#include "fma_peak.h"

#include <immintrin.h>

#include <cstring>
#include <ctime>

namespace {

double ThreadSeconds()
{
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

// kChains independent chains of multiply-adds (more than the latency times the pipes), nIterations
// times; GFlop/s of thread time.
template <typename V, V (*Fma)(V, V, V), V (*Set)(double), int W>
double Rate(long nIterations)
{
    constexpr int kChains = 16;
    V acc[kChains];
    for (int k = 0; k < kChains; ++k)
        acc[k] = Set(1.0 + 1e-3 * k);
    const V a = Set(0.999999), b = Set(1e-9);
    const double t0 = ThreadSeconds();
    for (long i = 0; i < nIterations; ++i)
    {
#pragma GCC unroll 16
        for (int k = 0; k < kChains; ++k)
            acc[k] = Fma(acc[k], a, b);
    }
    const double dSeconds = ThreadSeconds() - t0;
    double dSink = 0.0;
    for (int k = 0; k < kChains; ++k)
    {
        double aLanes[W];
        std::memcpy(aLanes, &acc[k], sizeof aLanes);
        dSink += aLanes[0];
    }
    volatile double dKeep = dSink;
    (void)dKeep;
    return 2.0 * W * kChains * static_cast<double>(nIterations) / dSeconds * 1e-9;
}

#if defined(__AVX512F__)
__m512d Fma512(__m512d a, __m512d b, __m512d c)
{
    return _mm512_fmadd_pd(a, b, c);
}
__m512d Set512(double x)
{
    return _mm512_set1_pd(x);
}
#endif
#if defined(__FMA__)
__m256d Fma256(__m256d a, __m256d b, __m256d c)
{
    return _mm256_fmadd_pd(a, b, c);
}
__m256d Set256(double x)
{
    return _mm256_set1_pd(x);
}
#endif

}  // namespace

FmaPeak MeasureFmaPeak()
{
    FmaPeak peak{0.0, 0.0};
    constexpr long kIterations = 10000000;
    for (int nRepeat = 0; nRepeat < 3; ++nRepeat)
    {
#if defined(__AVX512F__)
        const double d512 = Rate<__m512d, Fma512, Set512, 8>(kIterations);
        peak.d512 = d512 > peak.d512 ? d512 : peak.d512;
#endif
#if defined(__FMA__)
        const double d256 = Rate<__m256d, Fma256, Set256, 4>(kIterations);
        peak.d256 = d256 > peak.d256 ? d256 : peak.d256;
#endif
    }
    return peak;
}
