// The quarter turn's kernel (see CQuarterTurn and quarter_turn_kernels.h), compiled once for each
// instruction set with vectors of LOBARA_KERNEL_LANES doubles. Everything but the table at the end
// has internal linkage and no template of the standard library is instantiated, so that no copy's
// code can stand in for another's.
#include "sht/quarter_turn_kernels.h"

#include <cmath>
#include <cstring>

namespace {

constexpr int W = LOBARA_KERNEL_LANES;
typedef double Vec __attribute__((vector_size(8 * W)));

// Vectors of columns run side by side: enough independent chains to hide the latency of each
// step's multiply-add, which waits for the step before, while the columns' five running vectors (m,
// two values, two sums) and the steps' numbers stay in registers (thirty-two of AVX-512's, sixteen
// of AVX2's, where m is read from memory).
constexpr int K = W == 8 ? 4 : 3;
constexpr int N = K * W;

// A column still below the double range is scaled by 2^kTurnScaleBits, checked every
// kStepsPerCheck steps: one step multiplies by at most 2m / sqrt(2l) + 1 <= sqrt(2l) + 1 < 2^9
// (l <= 32768) and the scaling of the values by less than 2^4 in all, so in between it grows by
// less than 2^148.
constexpr int kStepsPerCheck = 16;
constexpr double kScaleDown = 0x1p-256;
static_assert(kTurnScaleBits == 256, "kScaleDown is 2^-kTurnScaleBits");

// One group of columns: lane b is column m = aM[b], with Delta'_km = aQ[b] 2^aExponent[b] and
// Delta'_(k+1)m = aNext[b] 2^aExponent[b]; its values weighted by the coefficients are summed,
// scaled alike, into aSums[k & 1][b].
struct Lanes
{
    double aM[N];
    double aQ[N];
    double aNext[N];
    double aSums[2][N];
    int64_t aExponent[N];
};

__attribute__((always_inline)) inline void Load(const double* p, Vec& v)
{
    std::memcpy(&v, p, sizeof v);
}

__attribute__((always_inline)) inline void Store(const Vec& v, double* p)
{
    std::memcpy(p, &v, sizeof v);
}

// nPairs pairs of steps from Delta'_km down to Delta'_(k-2n)m. pAccA takes the sums of k - 1,
// pAccB those of k - 2.
void RunPairs(const double* __restrict pC1, const double* __restrict pIn, int64_t k, int64_t nPairs,
              Lanes& lanes, double* __restrict pAccA, double* __restrict pAccB)
{
    Vec m[K], q[K], next[K], accA[K], accB[K];
    for (int j = 0; j < K; ++j)
    {
        Load(lanes.aM + W * j, m[j]);
        Load(lanes.aQ + W * j, q[j]);
        Load(lanes.aNext + W * j, next[j]);
        Load(pAccA + W * j, accA[j]);
        Load(pAccB + W * j, accB[j]);
    }
    for (int64_t s = 0; s < nPairs; ++s, k -= 2)
    {
        const double c1a = pC1[k], xa = pIn[k - 1];
        const double c1b = pC1[k - 1], xb = pIn[k - 2];
        for (int j = 0; j < K; ++j)
        {
            const Vec d1 = (m[j] * c1a) * q[j] - next[j];
            accA[j] += d1 * xa;
            const Vec d2 = (m[j] * c1b) * d1 - q[j];
            accB[j] += d2 * xb;
            next[j] = d1;
            q[j] = d2;
        }
    }
    for (int j = 0; j < K; ++j)
    {
        Store(q[j], lanes.aQ + W * j);
        Store(next[j], lanes.aNext + W * j);
        Store(accA[j], pAccA + W * j);
        Store(accB[j], pAccB + W * j);
    }
}

// The lanes still scaled down whose values have passed 1 brought one step nearer to range.
// Returns whether any lane is still scaled.
bool Rescale(Lanes& lanes)
{
    bool bScaled = false;
    for (int b = 0; b < N; ++b)
    {
        if (lanes.aExponent[b] == 0)
            continue;
        if (std::fabs(lanes.aQ[b]) > 1.0 || std::fabs(lanes.aNext[b]) > 1.0)
        {
            lanes.aQ[b] *= kScaleDown;
            lanes.aNext[b] *= kScaleDown;
            lanes.aSums[0][b] *= kScaleDown;
            lanes.aSums[1][b] *= kScaleDown;
            lanes.aExponent[b] += kTurnScaleBits;
        }
        bScaled = bScaled || lanes.aExponent[b] != 0;
    }
    return bScaled;
}

void SumColumns(int32_t l, int32_t p, const double* pC1, const double* pIn, const double* pStart,
                const int64_t* pStartExponent, double* pCos, double* pSin)
{
    const int64_t n = int64_t{l} + 1;
    for (int64_t m0 = p; m0 < n; m0 += 2 * N)
    {
        Lanes lanes;
        for (int j = 0; j < N; ++j)
        {
            const int64_t m = m0 + 2 * j;
            const bool bColumn = m < n;
            lanes.aM[j] = bColumn ? static_cast<double>(m) : 0.0;
            lanes.aQ[j] = bColumn ? pStart[m] : 0.0;
            lanes.aExponent[j] = bColumn ? pStartExponent[m] : 0;
            lanes.aNext[j] = 0.0;
            lanes.aSums[l & 1][j] = lanes.aQ[j] * pIn[l];
            lanes.aSums[1 - (l & 1)][j] = 0.0;
        }
        // Pairs of steps from k = l; the sums of k - 1 have the parity opposite to l's.
        double* pAccA = lanes.aSums[1 - (l & 1)];
        double* pAccB = lanes.aSums[l & 1];
        int64_t k = l;
        bool bScaled = true;
        while (k >= 2)
        {
            bScaled = bScaled && Rescale(lanes);
            const int64_t nPairs = bScaled && k / 2 > kStepsPerCheck / 2 ? kStepsPerCheck / 2 : k / 2;
            RunPairs(pC1, pIn, k, nPairs, lanes, pAccA, pAccB);
            k -= 2 * nPairs;
        }
        if (k == 1)
            for (int j = 0; j < N; ++j)
            {
                const double d = (lanes.aM[j] * pC1[1]) * lanes.aQ[j] - lanes.aNext[j];
                lanes.aSums[0][j] += d * pIn[0];
            }
        // Column m's cosine sum is over k of l + m's parity.
        for (int j = 0; j < N; ++j)
        {
            const int64_t m = m0 + 2 * j;
            if (m >= n)
                break;
            const int nExponent = static_cast<int>(lanes.aExponent[j]);
            const int64_t nCosParity = (l + m) & 1;
            pCos[m] = std::ldexp(lanes.aSums[nCosParity][j], nExponent);
            pSin[m] = std::ldexp(lanes.aSums[1 - nCosParity][j], nExponent);
        }
    }
}

}  // namespace

namespace LOBARA_KERNEL_NAMESPACE {
extern const QuarterTurnKernels kQuarterTurnKernels;
const QuarterTurnKernels kQuarterTurnKernels = {SumColumns};
}  // namespace LOBARA_KERNEL_NAMESPACE
