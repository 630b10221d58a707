#include "reference.h"

#include <fftw3.h>

#include <cmath>
#include <thread>

namespace {

using LD = long double;
const LD kPiL = 3.141592653589793238462643383279502884L;
constexpr int kChunk = 8192;  // values below range are carried as v * 2^e, e a multiple of this

// log2 of |lambda_mm| / sin^m(theta) = 0.5 log2((2m+1)/(4pi) prod_{k<=m} (2k-1)/(2k)), for m = 0..L.
std::vector<LD> LogStart(int L)
{
    std::vector<LD> a(L + 1);
    LD dLogProduct = 0.0L;
    for (int m = 0; m <= L; ++m)
    {
        if (m > 0)
            dLogProduct += std::log2(LD(2 * m - 1) / LD(2 * m));
        a[m] = 0.5L * (std::log2(LD(2 * m + 1) / (4.0L * kPiL)) + dLogProduct);
    }
    return a;
}

// The recurrence's coefficients of order m: A_l = sqrt((4l^2-1)/(l^2-m^2)),
// B_l = sqrt(((l-1)^2-m^2)/(4(l-1)^2-1)) for l = m+1 .. L.
void Coefficients(int L, int m, std::vector<LD>& A, std::vector<LD>& B)
{
    A.assign(L + 2, 0.0L);
    B.assign(L + 2, 0.0L);
    for (int l = m + 1; l <= L; ++l)
    {
        const LD dl = l, dm = m;
        A[l] = std::sqrt((4.0L * dl * dl - 1.0L) / (dl * dl - dm * dm));
        B[l] = std::sqrt(((dl - 1.0L) * (dl - 1.0L) - dm * dm) / (4.0L * (dl - 1.0L) * (dl - 1.0L) - 1.0L));
    }
}

// Start value of order m at a ring of sine s: lambda_mm = (-1)^m 2^logStart s^m, as v 2^e.
void Start(LD dLogStart, int m, LD s, LD& v, long& e)
{
    if (m == 0)
    {
        v = std::exp2(dLogStart);
        e = 0;
        return;
    }
    if (s <= 0.0L)
    {
        v = 0.0L;
        e = 0;
        return;
    }
    const LD dTotal = dLogStart + LD(m) * std::log2(s);
    long nE = 0;
    if (dTotal < -8000.0L)
        nE = long(std::ceil(dTotal / kChunk)) * kChunk;
    v = std::exp2(dTotal - LD(nE));
    if (m % 2 != 0)
        v = -v;
    e = nE;
}

}  // namespace

std::vector<double> ReferenceMap(const std::complex<double>* pAlm, int L, int nT, int nP, unsigned nThreads)
{
    const int nNorth = (nT + 1) / 2;
    std::vector<LD> x(nNorth), s(nNorth);
    for (int i = 0; i < nNorth; ++i)
    {
        const LD th = LD(i) * kPiL / LD(nT - 1);
        x[i] = std::cos(th);
        s[i] = std::sin(th);
    }
    const std::vector<LD> aLogStart = LogStart(L);
    // F[(m * nNorth + i) * 2 + {0 north, 1 south}]
    std::vector<std::complex<LD>> F(size_t(L + 1) * nNorth * 2);
    const auto runOrders = [&](unsigned t) {
        std::vector<LD> A, B, v1(nNorth), v2(nNorth);
        std::vector<long> e(nNorth);
        std::vector<std::complex<LD>> accN(nNorth), accS(nNorth);
        const LD kUp = std::exp2(LD(kChunk / 2)), kDown = std::exp2(LD(-kChunk));
        for (int m = int(t); m <= L; m += int(nThreads))
        {
            Coefficients(L, m, A, B);
            const size_t nBase = size_t(m) * (2 * size_t(L) + 1 - size_t(m)) / 2;
            for (int i = 0; i < nNorth; ++i)
            {
                Start(aLogStart[m], m, s[i], v2[i], e[i]);
                v1[i] = 0.0L;
                const std::complex<LD> a(pAlm[nBase + m].real(), pAlm[nBase + m].imag());
                accN[i] = e[i] == 0 ? a * v2[i] : std::complex<LD>(0.0L);
                accS[i] = accN[i];
            }
            for (int l = m + 1; l <= L; ++l)
            {
                const std::complex<double> ad = pAlm[nBase + l];
                const LD ar = ad.real(), ai = ad.imag(), Al = A[l], Bl = B[l];
                const LD sign = ((l - m) % 2 == 0) ? 1.0L : -1.0L;
                for (int i = 0; i < nNorth; ++i)
                {
                    const LD v = Al * (x[i] * v2[i] - Bl * v1[i]);
                    v1[i] = v2[i];
                    v2[i] = v;
                    if (e[i] == 0)
                    {
                        accN[i] += std::complex<LD>(ar * v, ai * v);
                        accS[i] += std::complex<LD>(sign * ar * v, sign * ai * v);
                    }
                    else if (std::fabs(v) > kUp)
                    {
                        v1[i] *= kDown;
                        v2[i] *= kDown;
                        e[i] += kChunk;
                        if (e[i] == 0)
                        {
                            accN[i] += std::complex<LD>(ar * v2[i], ai * v2[i]);
                            accS[i] += std::complex<LD>(sign * ar * v2[i], sign * ai * v2[i]);
                        }
                    }
                }
            }
            for (int i = 0; i < nNorth; ++i)
            {
                F[(size_t(m) * nNorth + i) * 2] = accN[i];
                F[(size_t(m) * nNorth + i) * 2 + 1] = accS[i];
            }
        }
    };
    std::vector<std::thread> aThreads;
    for (unsigned t = 1; t < nThreads; ++t)
        aThreads.emplace_back(runOrders, t);
    runOrders(0);
    for (auto& th : aThreads)
        th.join();

    std::vector<double> aMap(size_t(nT) * nP);
    const int nHalf = nP / 2 + 1;
    fftwl_complex* pIn = fftwl_alloc_complex(nHalf);
    LD* pOut = fftwl_alloc_real(nP);
    fftwl_plan plan = fftwl_plan_dft_c2r_1d(nP, pIn, pOut, FFTW_ESTIMATE);
    for (int i = 0; i < nNorth; ++i)
        for (int side = 0; side < 2; ++side)
        {
            const int row = side == 0 ? i : nT - 1 - i;
            if (side == 1 && row == i)
                continue;
            for (int k = 0; k < nHalf; ++k)
            {
                const std::complex<LD> z =
                    k <= L ? F[(size_t(k) * nNorth + i) * 2 + side] : std::complex<LD>(0);
                pIn[k][0] = z.real();
                pIn[k][1] = k == 0 ? 0.0L : z.imag();
            }
            fftwl_execute_dft_c2r(plan, pIn, pOut);
            for (int j = 0; j < nP; ++j)
                aMap[size_t(row) * nP + j] = double(pOut[j]);
        }
    fftwl_destroy_plan(plan);
    fftwl_free(pIn);
    fftwl_free(pOut);
    return aMap;
}

std::vector<double> ReferencePoints(const std::complex<double>* pAlm, int L,
                                    const std::vector<double>& aTheta, const std::vector<double>& aPhi,
                                    unsigned nThreads)
{
    const std::vector<LD> aLogStart = LogStart(L);
    std::vector<double> aOut(aTheta.size());
    const auto run = [&](unsigned t) {
        std::vector<LD> A, B;
        std::vector<std::vector<LD>> aA(L + 1), aB(L + 1);
        for (size_t p = t; p < aTheta.size(); p += nThreads)
        {
            const LD th = aTheta[p], ph = aPhi[p];
            const LD x = std::cos(th), s = std::sin(th);
            LD dSum = 0.0L;
            for (int m = 0; m <= L; ++m)
            {
                if (aA[m].empty())
                    Coefficients(L, m, aA[m], aB[m]);
                const std::vector<LD>&Am = aA[m], &Bm = aB[m];
                const size_t nBase = size_t(m) * (2 * size_t(L) + 1 - size_t(m)) / 2;
                LD v1 = 0.0L, v2;
                long e;
                Start(aLogStart[m], m, s, v2, e);
                std::complex<LD> acc =
                    e == 0 ? std::complex<LD>(pAlm[nBase + m].real(), pAlm[nBase + m].imag()) * v2
                           : std::complex<LD>(0);
                for (int l = m + 1; l <= L; ++l)
                {
                    const LD v = Am[l] * (x * v2 - Bm[l] * v1);
                    v1 = v2;
                    v2 = v;
                    if (e != 0 && std::fabs(v2) > std::exp2(LD(kChunk / 2)))
                    {
                        v1 *= std::exp2(LD(-kChunk));
                        v2 *= std::exp2(LD(-kChunk));
                        e += kChunk;
                    }
                    if (e == 0)
                        acc += std::complex<LD>(pAlm[nBase + l].real(), pAlm[nBase + l].imag()) * v2;
                }
                const LD c = std::cos(LD(m) * ph), sn = std::sin(LD(m) * ph);
                const LD re = acc.real() * c - acc.imag() * sn;  // Re(acc e^{i m phi})
                dSum += m == 0 ? acc.real() : 2.0L * re;
            }
            aOut[p] = double(dSum);
        }
    };
    std::vector<std::thread> aThreads;
    for (unsigned t = 1; t < nThreads; ++t)
        aThreads.emplace_back(run, t);
    run(0);
    for (auto& th : aThreads)
        th.join();
    return aOut;
}
