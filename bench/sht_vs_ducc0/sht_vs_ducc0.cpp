// Lobara beside ducc0 and libsharp on identical work, in one process, the three taken in turn (best
// of five runs of each): synthesis and analysis on the Clenshaw-Curtis grids of L + 2 and 2L + 2 rows
// (rows theta_i = i pi / (nT - 1), both poles; 2L + 2 columns), and a generic rotation (zyz, not about
// an axis; libsharp has none) at L = 512, 1024 and 2048, on one and on two threads. Each case tells
// the wall and the CPU time of each side, the machine's load, and each side's error against an
// independent long double synthesis (reference.cpp): the synthesis's largest error over the grid
// relative to the largest value; the analysis's largest error of a coefficient (each drawn from
// (-1, 1)); the rotation's, the turned field at 64 points against the field at the points turned back,
// summed in long double, relative to the largest value. The last line is the smallest ratio of
// ducc0's CPU time to Lobara's over all cases.
//
//   sht_vs_ducc0 [CACHE]                        the whole table
//   sht_vs_ducc0 case L THREADS NT OPS [CACHE]  one case; OPS of s (synthesis), a (analysis), r (rotation)
//   sht_vs_ducc0 sums L                         the Legendre sums of the synthesis alone on L + 2 rows,
//                                               one thread, against the floor of their multiply-adds
//
// The reference maps are made once for each L and NT (minutes at L = 2048, on all cores) and kept in
// CACHE (sht_vs_ducc0_cache in the working folder). libsharp's threads are OpenMP's, made to wait
// asleep rather than spin, so that they take no CPU time from the other sides.
//
// The field: every (l, m) up to L, coefficients uniform in (-1, 1) (mt19937, seed 1), in Lobara's
// convention, made into complex a_lm with the Condon-Shortley phase, a_l0 = c_l0,
// a_lm = (-1)^m (c_lm + i c_l,-m) / sqrt(2), in healpy's layout: the synthesis takes that same array
// on all three sides; the rotation and Lobara's analysis work on Lobara's own field.
#include <libsharp/sharp.h>
#include <libsharp/sharp_almhelpers.h>
#include <libsharp/sharp_geomhelpers.h>
#include <omp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <complex>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "bench_clock.h"
#include "ducc0_side.h"
#include "fma_peak.h"
#include "infra/kernel_path.h"
#include "reference.h"
#include "sht/convention.h"
#include "sht/field_rotation.h"
#include "sht/field_synthesis.h"
#include "sht/grid_analysis.h"
#include "sht/healpy_layout.h"
#include "sht/normalized_legendre.h"
#include "sht/own_coefficients.h"
#include "sht/rotation.h"

namespace {

using Complex = std::complex<double>;

Field TestField(int L)
{
    std::mt19937 random(1);
    std::uniform_real_distribution<double> coefficient(-1.0, 1.0);
    Field field;
    for (int l = 0; l <= L; ++l)
        for (int m = -l; m <= l; ++m)
            field.aTerms.push_back(Term{l, m, coefficient(random)});
    return field;
}

std::vector<Complex> AlmFromOwn(const std::vector<double>& aOwn, int L)
{
    std::vector<Complex> aAlm(AlmCount(L, L));
    for (int m = 0; m <= L; ++m)
        for (int l = m; l <= L; ++l)
        {
            const double dSign = m % 2 == 0 ? 1.0 : -1.0;
            aAlm[AlmIndex(l, m, L)] =
                m == 0 ? Complex(aOwn[OwnIndex(l, 0)], 0.0)
                       : dSign * Complex(aOwn[OwnIndex(l, m)], aOwn[OwnIndex(l, -m)]) / std::sqrt(2.0);
        }
    return aAlm;
}

std::vector<double> OwnFromAlm(const std::vector<Complex>& aAlm, int L)
{
    std::vector<double> aOwn(OwnCount(L));
    for (int m = 0; m <= L; ++m)
        for (int l = m; l <= L; ++l)
        {
            const Complex a = aAlm[AlmIndex(l, m, L)];
            if (m == 0)
                aOwn[OwnIndex(l, 0)] = a.real();
            else
            {
                const double f = (m % 2 == 0 ? 1.0 : -1.0) * std::sqrt(2.0);
                aOwn[OwnIndex(l, m)] = f * a.real();
                aOwn[OwnIndex(l, -m)] = f * a.imag();
            }
        }
    return aOwn;
}

double MaxAbs(const std::vector<double>& a)
{
    double d = 0.0;
    for (double v : a)
        d = std::max(d, std::fabs(v));
    return d;
}

double MaxAbsDifference(const std::vector<double>& a, const std::vector<double>& b)
{
    double d = 0.0;
    for (size_t k = 0; k < a.size(); ++k)
        d = std::max(d, std::fabs(a[k] - b[k]));
    return d;
}

// Best wall and CPU times of each side over nRuns, the sides taken in turn (A B C A B C ...).
struct Times
{
    std::vector<double> aWall, aCpu;
};

Times BestInTurn(int nRuns, const std::vector<std::function<void()>>& aSides)
{
    Times best{std::vector<double>(aSides.size(), HUGE_VAL), std::vector<double>(aSides.size(), HUGE_VAL)};
    for (int k = 0; k < nRuns; ++k)
        for (size_t s = 0; s < aSides.size(); ++s)
        {
            const double dWall = WallSeconds(), dCpu = CpuSeconds();
            aSides[s]();
            best.aWall[s] = std::min(best.aWall[s], WallSeconds() - dWall);
            best.aCpu[s] = std::min(best.aCpu[s], CpuSeconds() - dCpu);
        }
    return best;
}

bool ReadDoubles(const std::string& strPath, std::vector<double>& a)
{
    std::ifstream in(strPath, std::ios::binary);
    in.read(reinterpret_cast<char*>(a.data()), static_cast<std::streamsize>(a.size() * sizeof(double)));
    return static_cast<bool>(in) && in.peek() == std::ifstream::traits_type::eof();
}

void WriteDoubles(const std::string& strPath, const std::vector<double>& a)
{
    const std::string strTemporary = strPath + ".part";
    {
        std::ofstream out(strTemporary, std::ios::binary);
        out.write(reinterpret_cast<const char*>(a.data()),
                  static_cast<std::streamsize>(a.size() * sizeof(double)));
    }
    std::rename(strTemporary.c_str(), strPath.c_str());
}

// The long double reference map of the test field on the grid of nT rows and 2L + 2 columns.
std::vector<double> ReferenceOf(int L, int nT, const std::string& strCache)
{
    const int nP = 2 * L + 2;
    std::vector<double> aMap(static_cast<size_t>(nT) * static_cast<size_t>(nP));
    mkdir(strCache.c_str(), 0755);
    const std::string strPath =
        strCache + "/reference_L" + std::to_string(L) + "_rows" + std::to_string(nT) + ".bin";
    if (ReadDoubles(strPath, aMap))
        return aMap;
    std::printf("# making the long double reference of L=%d on %d rows (once)\n", L, nT);
    std::fflush(stdout);
    const std::vector<Complex> aAlm = AlmFromOwn(OwnFromField(TestField(L), L), L);
    aMap = ReferenceMap(aAlm.data(), L, nT, nP, std::max(1u, std::thread::hardware_concurrency()));
    WriteDoubles(strPath, aMap);
    return aMap;
}

// The test rotation: R = Rz(alpha) Ry(beta) Rz(gamma), generic angles in degrees; ducc0's
// rotate_alm(psi, theta, phi) is Rz(phi) Ry(theta) Rz(psi), in radians.
constexpr double kAlpha = 40.0, kBeta = 70.0, kGamma = 110.0;
constexpr double kDegree = 3.141592653589793 / 180.0;

Rotation TestRotation()
{
    return Then(Then(RotationAboutZ(kGamma), RotationAboutY(kBeta)), RotationAboutZ(kAlpha));
}

// A case's line, and the smallest ducc0 / Lobara CPU ratio so far.
double g_dWorstRatio = HUGE_VAL;

void Report(const char* pszWork, int L, unsigned nThreads, int nT, const Times& times,
            const std::vector<const char*>& aNames, const std::vector<double>& aErrors)
{
    std::printf("%-9s L=%4d threads=%u rows=%s", pszWork, L, nThreads,
                nT > 0 ? std::to_string(nT).c_str() : "-");
    for (size_t s = 0; s < aNames.size(); ++s)
        std::printf(" | %s wall %.4f cpu %.4f err %.3g", aNames[s], times.aWall[s], times.aCpu[s],
                    aErrors[s]);
    const double dRatio = times.aCpu.back() / times.aCpu.front();
    g_dWorstRatio = std::min(g_dWorstRatio, dRatio);
    std::printf(" | ducc0/lobara cpu %.3f | load %s\n", dRatio, LoadAverage().c_str());
    std::fflush(stdout);
}

void RunCase(int L, unsigned nThreads, int nT, const std::string& strOps, int nRuns,
             const std::string& strCache)
{
    const int nP = 2 * L + 2;
    const size_t nMap = static_cast<size_t>(nT) * static_cast<size_t>(nP);
    const Field field = TestField(L);
    const std::vector<double> aOwn = OwnFromField(field, L);
    const std::vector<Complex> aAlm = AlmFromOwn(aOwn, L);
    omp_set_num_threads(static_cast<int>(nThreads));
    sharp_geom_info* pGeometry = nullptr;
    sharp_alm_info* pAlmInfo = nullptr;
    sharp_make_cc_geom_info(nT, nP, 0.0, 1, nP, &pGeometry);
    sharp_make_triangular_alm_info(L, L, 1, &pAlmInfo);
    const bool bSynthesis = strOps.find('s') != std::string::npos;
    const bool bAnalysis = strOps.find('a') != std::string::npos;
    std::vector<double> aReference;
    if (bSynthesis || bAnalysis)
        aReference = ReferenceOf(L, nT, strCache);

    if (bSynthesis)
    {
        std::vector<double> aLobara(nMap), aSharp(nMap), aDucc(nMap);
        std::vector<Complex> aSharpAlm = aAlm;  // libsharp reads through a pointer to non-const
        void* pSharpAlm = aSharpAlm.data();
        void* pSharpMap = aSharp.data();
        const Times times = BestInTurn(
            nRuns,
            {[&] {
                 CFieldSynthesis(aAlm.data(), L, L, SampleGrid::kLobara, nT, nP, nThreads)
                     .Run(aLobara.data());
             },
             [&] {
                 sharp_execute(SHARP_ALM2MAP, 0, &pSharpAlm, &pSharpMap, pGeometry, pAlmInfo, SHARP_DP,
                               nullptr, nullptr);
             },
             [&] { DuccSynthesisCC(aAlm.data(), static_cast<size_t>(L), aDucc.data(), nT, nP, nThreads); }});
        const double dMax = MaxAbs(aReference);
        Report("synthesis", L, nThreads, nT, times, {"lobara", "libsharp", "ducc0"},
               {MaxAbsDifference(aLobara, aReference) / dMax, MaxAbsDifference(aSharp, aReference) / dMax,
                MaxAbsDifference(aDucc, aReference) / dMax});
    }

    if (bAnalysis)
    {
        // Each side writes into the output of its run before: the peers into their a_lm, Lobara
        // into its field.
        Field analysed;
        std::vector<Complex> aSharpAlm(aAlm.size()), aDuccAlm(aAlm.size());
        void* pSharpAlm = aSharpAlm.data();
        void* pSharpMap = aReference.data();
        const Times times =
            BestInTurn(nRuns, {[&] {
                                   AnalyzeGrid(aReference.data(), SampleGrid::kLobara, nT, nP, L,
                                               Convention{}, nThreads, analysed);
                               },
                               [&] {
                                   sharp_execute(SHARP_MAP2ALM, 0, &pSharpAlm, &pSharpMap, pGeometry,
                                                 pAlmInfo, SHARP_DP, nullptr, nullptr);
                               },
                               [&] {
                                   DuccAnalysisCC(aDuccAlm.data(), static_cast<size_t>(L), aReference.data(),
                                                  nT, nP, nThreads);
                               }});
        Report("analysis", L, nThreads, nT, times, {"lobara", "libsharp", "ducc0"},
               {MaxAbsDifference(OwnFromField(analysed, L), aOwn),
                MaxAbsDifference(OwnFromAlm(aSharpAlm, L), aOwn),
                MaxAbsDifference(OwnFromAlm(aDuccAlm, L), aOwn)});
    }

    if (strOps.find('r') != std::string::npos)
    {
        const Rotation rotation = TestRotation();
        Field rotated;
        std::vector<Complex> aDuccAlm;
        const Times times =
            BestInTurn(nRuns, {[&] { rotated = RotateField(field, rotation, nThreads); },
                               [&] {
                                   aDuccAlm = aAlm;
                                   DuccRotate(aDuccAlm.data(), static_cast<size_t>(L), kGamma * kDegree,
                                              kBeta * kDegree, kAlpha * kDegree, nThreads);
                               }});
        // 64 random points x: the turned field at x against the field at R^-1 x, in long double.
        std::mt19937 random(7);
        std::uniform_real_distribution<double> uniform(0.0, 1.0);
        const Rotation inverse = Inverse(rotation);
        std::vector<double> aTheta, aPhi, aThetaBack, aPhiBack;
        for (int p = 0; p < 64; ++p)
        {
            const double z = 2.0 * uniform(random) - 1.0,
                         dAzimuth = 2.0 * 3.141592653589793 * uniform(random);
            const std::array<double, 3> x = {std::sqrt(1.0 - z * z) * std::cos(dAzimuth),
                                             std::sqrt(1.0 - z * z) * std::sin(dAzimuth), z};
            const std::array<double, 3> y = Apply(inverse, x);
            aTheta.push_back(std::acos(x[2]));
            aPhi.push_back(std::atan2(x[1], x[0]));
            aThetaBack.push_back(std::acos(std::clamp(y[2], -1.0, 1.0)));
            aPhiBack.push_back(std::atan2(y[1], y[0]));
        }
        const unsigned nCores = std::max(1u, std::thread::hardware_concurrency());
        const std::vector<double> aExpected = ReferencePoints(aAlm.data(), L, aThetaBack, aPhiBack, nCores);
        const std::vector<Complex> aLobaraAlm = AlmFromOwn(OwnFromField(rotated, L), L);
        const double dMax = MaxAbs(aExpected);
        Report(
            "rotation", L, nThreads, 0, times, {"lobara", "ducc0"},
            {MaxAbsDifference(ReferencePoints(aLobaraAlm.data(), L, aTheta, aPhi, nCores), aExpected) / dMax,
             MaxAbsDifference(ReferencePoints(aDuccAlm.data(), L, aTheta, aPhi, nCores), aExpected) / dMax});
    }
    sharp_destroy_alm_info(pAlmInfo);
    sharp_destroy_geom_info(pGeometry);
}

// The Legendre sums of the synthesis alone at L on L + 2 rows, one thread: Lobara's as its synthesis
// runs them (each order's tables and weights, then its sums, leaving out the rows where the orders
// vanished), ducc0's alm2leg on the same rings; against the floor of 6 flop (three multiply-adds)
// for each (l, m) and ring pair at the measured peak.
void RunSums(int L, int nRuns)
{
    const int nT = L + 2, nNorth = (nT + 1) / 2;
    const std::vector<double> aOwn = OwnFromField(TestField(L), L);
    const std::vector<Complex> aAlm = AlmFromOwn(aOwn, L);
    std::vector<double> aT(static_cast<size_t>(nNorth)), aU(aT.size()), aTheta(static_cast<size_t>(nT));
    for (int i = 0; i < nT; ++i)
        aTheta[static_cast<size_t>(i)] = (static_cast<double>(i) / (nT - 1)) * 3.141592653589793;
    for (int i = 0; i < nNorth; ++i)
    {
        aT[static_cast<size_t>(i)] = CosineLessOne(aTheta[static_cast<size_t>(i)]);
        aU[static_cast<size_t>(i)] = std::sin(aTheta[static_cast<size_t>(i)]);
    }
    std::vector<std::vector<double>> aPairs(static_cast<size_t>(L) + 1);
    for (int m = 0; m <= L; ++m)
        for (int l = m; l <= L; ++l)
        {
            aPairs[static_cast<size_t>(m)].push_back(OwnAzimuthFactor(m) * aOwn[OwnIndex(l, m)]);
            aPairs[static_cast<size_t>(m)].push_back(m == 0 ? 0.0
                                                            : OwnAzimuthFactor(-m) * aOwn[OwnIndex(l, -m)]);
        }
    NormalizedLegendre legendre(L, 0);
    NormalizedLegendre::SumWeights aWeights;
    std::vector<double> aSums(4 * static_cast<size_t>(nNorth));
    std::vector<Complex> aLeg(static_cast<size_t>(nT) * (static_cast<size_t>(L) + 1));
    double dRunUnits = 0.0;
    const auto lobara = [&] {
        int32_t nVanished = 0;
        dRunUnits = 0.0;
        for (int m = 0; m <= L; ++m)
        {
            legendre.Remake(L, m);
            legendre.PrepareWeights(aPairs[static_cast<size_t>(m)].data(), aWeights);
            const int32_t nLeft = nNorth - nVanished;
            dRunUnits += static_cast<double>(L - m + 1) *
                         (nLeft - legendre.NegligiblePoints(aU.data() + nVanished, nLeft));
            nVanished += legendre.EvaluateSums(aT.data() + nVanished, aU.data() + nVanished, nLeft, aWeights,
                                               aSums.data() + 4 * static_cast<size_t>(nVanished));
        }
    };
    omp_set_num_threads(1);
    const Times times = BestInTurn(nRuns, {lobara, [&] {
                                               DuccLegendreSums(aAlm.data(), static_cast<size_t>(L),
                                                                aLeg.data(), aTheta.data(), nT, 1);
                                           }});
    const FmaPeak peak = MeasureFmaPeak();
    const double dPeak = std::max(peak.d512, peak.d256);
    const double dUnits = static_cast<double>(L + 1) * (L + 2) / 2 * nNorth;
    const double dFloor = 6.0 * dUnits / (dPeak * 1e9);
    std::printf(
        "sums      L=%4d rows=%4d ring pairs=%d | lobara cpu %.4f (%.1f %% of the floor; %.1f %% of the "
        "units run) | ducc0 cpu %.4f (%.1f %% of the floor) | floor %.4f s: 6 flop x %.4g units at %.1f "
        "GFlop/s (measured peak of one thread: 512-bit %.1f, 256-bit %.1f) | lobara kernels %s, ducc0 "
        "vectors of %zu | load %s\n",
        L, nT, nNorth, times.aCpu[0], 100.0 * dFloor / times.aCpu[0], 100.0 * dRunUnits / dUnits,
        times.aCpu[1], 100.0 * dFloor / times.aCpu[1], dFloor, dUnits, dPeak, peak.d512, peak.d256,
        KernelPathName(ActiveKernelPath()), DuccVectorLength(), LoadAverage().c_str());
}

}  // namespace

int main(int argc, char** argv)
{
    // libsharp's OpenMP threads asleep between its runs (read when the library loads, so set here for a
    // fresh image of the program).
    if (std::getenv("OMP_WAIT_POLICY") == nullptr)
    {
        setenv("OMP_WAIT_POLICY", "PASSIVE", 1);
        execv("/proc/self/exe", argv);
    }
    const std::string strMode = argc > 1 ? argv[1] : "";
    constexpr int kRuns = 5;
    if (strMode == "sums" && argc == 3)
    {
        RunSums(std::atoi(argv[2]), kRuns);
        return 0;
    }
    if (strMode == "case" && (argc == 6 || argc == 7))
    {
        RunCase(std::atoi(argv[2]), static_cast<unsigned>(std::atoi(argv[3])), std::atoi(argv[4]), argv[5],
                kRuns, argc == 7 ? argv[6] : "sht_vs_ducc0_cache");
        std::printf("ratio worst ducc0/lobara CPU %.3f\n", g_dWorstRatio);
        return 0;
    }
    if (argc > 2 || (argc == 2 && (strMode == "sums" || strMode == "case")))
    {
        std::fprintf(stderr, "usage: sht_vs_ducc0 [CACHE] | case L THREADS NT OPS [CACHE] | sums L\n");
        return 2;
    }
    const std::string strCache = argc == 2 ? argv[1] : "sht_vs_ducc0_cache";
    std::printf(
        "# Lobara (kernels %s) beside libsharp and ducc0 (vectors of %zu doubles), best of %d, in turn; "
        "times in seconds; load %s\n",
        KernelPathName(ActiveKernelPath()), DuccVectorLength(), kRuns, LoadAverage().c_str());
    for (int L : {512, 1024, 2048})
        for (unsigned nThreads : {1u, 2u})
        {
            RunCase(L, nThreads, 2 * L + 2, "sar", kRuns, strCache);
            RunCase(L, nThreads, L + 2, "sa", kRuns, strCache);
        }
    std::printf("ratio worst ducc0/lobara CPU %.3f\n", g_dWorstRatio);
    return 0;
}
