// Analysis of every coefficient up to L from values on a Clenshaw-Curtis grid (both poles, rows
// i pi / (nT - 1), 2L + 2 values to a row), by Lobara and by libsharp's map2alm on the identical
// grid and values, side by side in one run: the best of a few runs each, the two taken in turn, and
// the largest error of each against the coefficients the values were made from (libsharp's own
// weights integrate exactly only with nT >= 2L + 2). Then the synthesis of those coefficients on
// that grid, by Lobara and by libsharp's alm2map, with the largest difference of libsharp's values
// from Lobara's, as a fraction of the largest value. bench/analysis_vs_libsharp.py runs it for each
// size and number of threads (libsharp's through OMP_NUM_THREADS).
//
// Usage: analysis_vs_libsharp L THREADS ROWS; prints "lobara SECONDS ERROR libsharp SECONDS ERROR
// synthesis SECONDS SECONDS DIFFERENCE".
#include <libsharp/sharp.h>
#include <libsharp/sharp_almhelpers.h>
#include <libsharp/sharp_geomhelpers.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <complex>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <utility>
#include <vector>

#include "sht/field_synthesis.h"
#include "sht/grid_analysis.h"
#include "sht/own_coefficients.h"

namespace {

constexpr int kRuns = 5;

// The best of a few runs of each of two, taken in turn, so that a slow spell of the machine falls
// on both alike.
template <typename RunA, typename RunB>
std::pair<double, double> BestSecondsInTurn(const RunA& runA, const RunB& runB)
{
    const auto seconds = [](const auto& run) {
        const auto start = std::chrono::steady_clock::now();
        run();
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    std::pair<double, double> best{HUGE_VAL, HUGE_VAL};
    for (int k = 0; k < kRuns; ++k)
    {
        best.first = std::min(best.first, seconds(runA));
        best.second = std::min(best.second, seconds(runB));
    }
    return best;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4)
    {
        std::fprintf(stderr, "usage: analysis_vs_libsharp L THREADS ROWS\n");
        return 2;
    }
    const int L = std::atoi(argv[1]);
    const unsigned nThreads = static_cast<unsigned>(std::atoi(argv[2]));
    const int nT = std::atoi(argv[3]), nP = 2 * L + 2;

    std::mt19937 random(1);
    std::uniform_real_distribution<double> coefficient(-1.0, 1.0);
    Field field;
    for (int l = 0; l <= L; ++l)
        for (int m = -l; m <= l; ++m)
            field.aTerms.push_back(Term{l, m, coefficient(random)});
    std::vector<double> aValues(static_cast<size_t>(nT) * static_cast<size_t>(nP));
    CFieldSynthesis(field, nT, nP, nThreads).Run(aValues.data());

    // libsharp's complex a_lm with the Condon-Shortley phase: a_l0 = c_l0 and, for m > 0,
    // a_lm = (-1)^m (c_lm + i c_l,-m) / sqrt(2) of the program's own real coefficients.
    sharp_geom_info* pGeometry = nullptr;
    sharp_alm_info* pAlmInfo = nullptr;
    sharp_make_cc_geom_info(nT, nP, 0.0, 1, nP, &pGeometry);
    sharp_make_triangular_alm_info(L, L, 1, &pAlmInfo);
    const std::vector<double> aOwn = OwnFromField(field, L);
    const auto sharpAlm = [&](int l, int m) {
        const double dSign = m % 2 == 0 ? 1.0 : -1.0;
        return m == 0 ? std::complex<double>(aOwn[OwnIndex(l, 0)], 0.0)
                      : dSign * std::complex<double>(aOwn[OwnIndex(l, m)], aOwn[OwnIndex(l, -m)]) /
                            std::sqrt(2.0);
    };
    std::vector<std::complex<double>> aAlm(static_cast<size_t>(L + 1) * static_cast<size_t>(L + 2) / 2);
    void* pAlm = aAlm.data();
    void* pMap = aValues.data();

    Field analysed;
    const auto [dLobara, dSharp] = BestSecondsInTurn(
        [&] {
            analysed = AnalyzeGrid(aValues.data(), SampleGrid::kLobara, nT, nP, L, Convention{}, nThreads);
        },
        [&] {
            sharp_execute(SHARP_MAP2ALM, 0, &pAlm, &pMap, pGeometry, pAlmInfo, SHARP_DP, nullptr, nullptr);
        });
    double dLobaraError = 0.0;
    for (size_t k = 0; k < field.aTerms.size(); ++k)
        dLobaraError = std::max(dLobaraError, std::fabs(analysed.aTerms[k].c - field.aTerms[k].c));
    double dSharpError = 0.0;
    for (int m = 0; m <= L; ++m)
        for (int l = m; l <= L; ++l)
        {
            const std::complex<double> a = aAlm[static_cast<size_t>(sharp_alm_index(pAlmInfo, l, m))];
            dSharpError =
                std::max(dSharpError, std::abs(a - sharpAlm(l, m)) * (m == 0 ? 1.0 : std::sqrt(2.0)));
        }

    // The synthesis, each from its own form of the same coefficients, planning included.
    for (int m = 0; m <= L; ++m)
        for (int l = m; l <= L; ++l)
            aAlm[static_cast<size_t>(sharp_alm_index(pAlmInfo, l, m))] = sharpAlm(l, m);
    std::vector<double> aLobaraMap(aValues.size()), aSharpMap(aValues.size());
    void* pSharpMap = aSharpMap.data();
    const auto [dLobaraSynthesis, dSharpSynthesis] =
        BestSecondsInTurn([&] { CFieldSynthesis(field, nT, nP, nThreads).Run(aLobaraMap.data()); },
                          [&] {
                              sharp_execute(SHARP_ALM2MAP, 0, &pAlm, &pSharpMap, pGeometry, pAlmInfo,
                                            SHARP_DP, nullptr, nullptr);
                          });
    double dDifference = 0.0, dLargest = 0.0;
    for (size_t k = 0; k < aValues.size(); ++k)
    {
        dDifference = std::max(dDifference, std::fabs(aSharpMap[k] - aLobaraMap[k]));
        dLargest = std::max(dLargest, std::fabs(aLobaraMap[k]));
    }
    sharp_destroy_alm_info(pAlmInfo);
    sharp_destroy_geom_info(pGeometry);
    std::printf("lobara %.4f %.3g libsharp %.4f %.3g synthesis %.4f %.4f %.3g\n", dLobara, dLobaraError,
                dSharp, dSharpError, dLobaraSynthesis, dSharpSynthesis, dDifference / dLargest);
    return 0;
}
