// Lobara's HEALPix transforms beside ducc0's on identical work, in one process, the two taken in turn
// (best of a few runs of each): the synthesis (alm2map), and the analysis as healpy's map2alm makes it,
// the adjoint of the synthesis weighted by 4 pi / Npix and then iter Jacobi steps (ducc0's steps made
// here around its synthesis and adjoint, as healpy makes them), iter 0 and 3; Nside 512, 1024 and
// 2048 with lmax = 2 Nside, on one thread and on two. Each line tells the wall and CPU time of each
// side, their ratio, the largest difference between the two results (relative to the largest value)
// and the machine's load. Lobara's time includes making its transform, as a call of lobara.healpix
// does; ducc0 makes its plans in each call.
//
//   healpix_vs_ducc0 [NSIDE ...] [--spin] [--runs=N] [--ops=s,a0,a3]
//     --spin  the spin-2 pair (Q, U from E, B and back) instead of spin 0
//
// The inputs: a_lm with real and imaginary parts uniform in (-1, 1) (mt19937, seed 1; a_l0 real, and
// for spin 2 none below l = 2); maps uniform in (-1, 1).
#include <algorithm>
#include <chrono>
#include <cmath>
#include <complex>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "bench_clock.h"
#include "ducc0_side.h"
#include "healpix/healpix_rings.h"
#include "healpix/healpix_transform.h"
#include "infra/kernel_path.h"
#include "sht/angles.h"

namespace {

using Complex = std::complex<double>;

// The rings of the grid as ducc0 takes them.
struct Rings
{
    std::vector<double> aTheta, aPhi0;
    std::vector<size_t> aPixels, aFirst;
    DuccRings View() const
    {
        return DuccRings{aTheta.data(), aPixels.data(), aPhi0.data(),
                         aFirst.data(), aTheta.size(),  static_cast<size_t>(aFirst.back() + aPixels.back())};
    }
};

Rings RingsOf(int64_t nSide)
{
    Rings rings;
    for (int64_t i = 1; i < 4 * nSide; ++i)
    {
        const HealpixRing ring = RingOf(nSide, i);
        rings.aTheta.push_back(std::atan2(ring.dSin, ring.dCos));
        rings.aPhi0.push_back(ring.dPhi0);
        rings.aPixels.push_back(static_cast<size_t>(ring.nPixels));
        rings.aFirst.push_back(static_cast<size_t>(ring.nFirst));
    }
    return rings;
}

// Best wall and CPU times of each side over nRuns, the sides taken in turn.
struct Times
{
    double aWall[2] = {HUGE_VAL, HUGE_VAL}, aCpu[2] = {HUGE_VAL, HUGE_VAL};
};

Times BestInTurn(int nRuns, const std::function<void()>& lobara, const std::function<void()>& ducc)
{
    Times best;
    for (int k = 0; k < nRuns; ++k)
    {
        int s = 0;
        for (const std::function<void()>* pSide : {&lobara, &ducc})
        {
            const double dWall = WallSeconds(), dCpu = CpuSeconds();
            (*pSide)();
            best.aWall[s] = std::min(best.aWall[s], WallSeconds() - dWall);
            best.aCpu[s] = std::min(best.aCpu[s], CpuSeconds() - dCpu);
            ++s;
        }
    }
    return best;
}

template <typename T>
double RelativeDifference(const std::vector<T>& a, const std::vector<T>& b)
{
    double dMax = 0.0, dDifference = 0.0;
    for (size_t k = 0; k < a.size(); ++k)
    {
        dMax = std::max(dMax, std::abs(b[k]));
        dDifference = std::max(dDifference, std::abs(a[k] - b[k]));
    }
    return dMax > 0.0 ? dDifference / dMax : dDifference;
}

// The worst ducc0 / Lobara CPU ratio so far.
double g_dWorstRatio = HUGE_VAL;

void Report(const char* pszWork, int64_t nSide, unsigned nThreads, const Times& times, double dDifference)
{
    const double dRatio = times.aCpu[1] / times.aCpu[0];
    g_dWorstRatio = std::min(g_dWorstRatio, dRatio);
    std::printf("%5lld %-14s %3u | %8.3f / %-8.3f | %8.3f / %-8.3f | %6.3f | %8.1e | %s\n",
                static_cast<long long>(nSide), pszWork, nThreads, times.aWall[0], times.aCpu[0],
                times.aWall[1], times.aCpu[1], dRatio, dDifference, LoadAverage().c_str());
    std::fflush(stdout);
}

void RunCase(int64_t nSide, unsigned nThreads, int32_t nSpin, const std::vector<std::string>& aOps, int nRuns)
{
    const auto nLmax = static_cast<int32_t>(2 * nSide);
    const size_t nComponents = nSpin == 0 ? 1 : 2;
    const size_t nAlm = AlmCount(nLmax, nLmax);
    const auto nPixels = static_cast<size_t>(HealpixPixels(nSide));
    const Rings rings = RingsOf(nSide);
    std::mt19937 random(1);
    std::uniform_real_distribution<double> uniform(-1.0, 1.0);
    std::vector<Complex> aAlm(nComponents * nAlm);
    for (size_t k = 0; k < nComponents; ++k)
        for (int32_t m = 0; m <= nLmax; ++m)
            for (int32_t l = m; l <= nLmax; ++l)
                aAlm[k * nAlm + AlmIndex(l, m, nLmax)] =
                    l < nSpin ? Complex() : Complex(uniform(random), m == 0 ? 0.0 : uniform(random));
    std::vector<double> aMap(nComponents * nPixels);
    for (double& v : aMap)
        v = uniform(random);
    const auto lobaraSynthesis = [&](const Complex* pAlm, double* pMap) {
        const CHealpixTransform transform(nSide, nLmax, nLmax, nThreads, nSpin);
        if (nSpin == 0)
            transform.Synthesize(pAlm, pMap);
        else
            transform.SynthesizeSpin(pAlm, pAlm + nAlm, pMap, pMap + nPixels);
    };
    const auto lobaraAnalysis = [&](int32_t nIter, Complex* pAlm) {
        const CHealpixTransform transform(nSide, nLmax, nLmax, nThreads, nSpin);
        if (nSpin == 0)
            transform.Analyze(aMap.data(), nIter, pAlm);
        else
            transform.AnalyzeSpin(aMap.data(), aMap.data() + nPixels, nIter, pAlm, pAlm + nAlm);
    };
    const auto duccSynthesis = [&](const Complex* pAlm, double* pMap) {
        DuccRingSynthesis(pAlm, nComponents, static_cast<size_t>(nSpin), static_cast<size_t>(nLmax),
                          rings.View(), pMap, nThreads);
    };
    // healpy's map2alm on ducc0: the weighted adjoint, then alm += w adjoint(map - synthesis(alm)).
    const double dWeight = kFourPi / static_cast<double>(nPixels);
    const auto duccAnalysis = [&](int32_t nIter, Complex* pAlm) {
        DuccRingAdjoint(pAlm, nComponents, static_cast<size_t>(nSpin), static_cast<size_t>(nLmax),
                        rings.View(), aMap.data(), nThreads);
        for (size_t k = 0; k < nComponents * nAlm; ++k)
            pAlm[k] *= dWeight;
        if (nIter <= 0)
            return;
        std::vector<double> aLeft(aMap.size());
        std::vector<Complex> aStep(aAlm.size());
        for (int32_t n = 0; n < nIter; ++n)
        {
            duccSynthesis(pAlm, aLeft.data());
            for (size_t p = 0; p < aLeft.size(); ++p)
                aLeft[p] = aMap[p] - aLeft[p];
            DuccRingAdjoint(aStep.data(), nComponents, static_cast<size_t>(nSpin), static_cast<size_t>(nLmax),
                            rings.View(), aLeft.data(), nThreads);
            for (size_t k = 0; k < aStep.size(); ++k)
                pAlm[k] += dWeight * aStep[k];
        }
    };
    for (const std::string& strOp : aOps)
    {
        if (strOp == "s")
        {
            std::vector<double> aLobara(aMap.size()), aDucc(aMap.size());
            const Times times = BestInTurn(
                nRuns, [&] { lobaraSynthesis(aAlm.data(), aLobara.data()); },
                [&] { duccSynthesis(aAlm.data(), aDucc.data()); });
            Report(nSpin == 0 ? "alm2map" : "alm2map_spin", nSide, nThreads, times,
                   RelativeDifference(aLobara, aDucc));
            continue;
        }
        const int32_t nIter = strOp == "a3" ? 3 : 0;
        std::vector<Complex> aLobara(aAlm.size()), aDucc(aAlm.size());
        const Times times = BestInTurn(
            nRuns, [&] { lobaraAnalysis(nIter, aLobara.data()); },
            [&] { duccAnalysis(nIter, aDucc.data()); });
        const std::string strWork =
            (nSpin == 0 ? "map2alm" : "map2alm_spin") + std::string(" i") + std::to_string(nIter);
        Report(strWork.c_str(), nSide, nThreads, times, RelativeDifference(aLobara, aDucc));
    }
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<int64_t> aSides;
    std::vector<std::string> aOps = {"s", "a0", "a3"};
    int32_t nSpin = 0;
    int nRuns = 2;
    for (int a = 1; a < argc; ++a)
    {
        const std::string strArgument = argv[a];
        if (strArgument == "--spin")
            nSpin = 2;
        else if (strArgument.rfind("--runs=", 0) == 0)
            nRuns = std::max(1, std::atoi(strArgument.c_str() + 7));
        else if (strArgument.rfind("--ops=", 0) == 0)
        {
            aOps.clear();
            for (size_t nStart = 6; nStart <= strArgument.size();)
            {
                const size_t nEnd = std::min(strArgument.find(',', nStart), strArgument.size());
                const std::string strOp = strArgument.substr(nStart, nEnd - nStart);
                if (strOp != "s" && strOp != "a0" && strOp != "a3")
                {
                    std::fprintf(stderr, "healpix_vs_ducc0: --ops takes s, a0 and a3, not %s\n",
                                 strOp.c_str());
                    return 1;
                }
                aOps.push_back(strOp);
                nStart = nEnd + 1;
            }
        }
        else
        {
            char* pEnd = nullptr;
            const long long nSide = std::strtoll(argv[a], &pEnd, 10);
            if (*pEnd != '\0' || !NsideProblem(nSide).empty())
            {
                std::fprintf(stderr,
                             "healpix_vs_ducc0: %s is no Nside (usage: healpix_vs_ducc0 [NSIDE ...] "
                             "[--spin] [--runs=N] [--ops=s,a0,a3])\n",
                             argv[a]);
                return 1;
            }
            aSides.push_back(nSide);
        }
    }
    if (aSides.empty())
        aSides = {512, 1024, 2048};
    std::printf(
        "# Lobara (kernels %s) beside ducc0 (vectors of %zu doubles), lmax = 2 Nside, best of %d; "
        "load at the start %s\n",
        KernelPathName(ActiveKernelPath()), DuccVectorLength(), nRuns, LoadAverage().c_str());
    std::printf(
        "Nside call       threads |  Lobara wall / cpu s |   ducc0 wall / cpu s | ducc0/Lobara cpu | "
        "difference | load\n");
    for (const int64_t nSide : aSides)
        for (const unsigned nThreads : {1u, 2u})
            RunCase(nSide, nThreads, nSpin, aOps, nRuns);
    std::printf("# smallest ducc0/Lobara CPU ratio: %.3f\n", g_dWorstRatio);
    return 0;
}
