// Analysis and synthesis of every coefficient up to L on a grid of any layout, timed in CPU time
// and wall time (the best of a few runs each), with the largest error of the analysis's
// coefficients against those the values were made from. The values come from the synthesis of a
// random field of degree L, so that the analysis at L is the field itself on every grid.
//
// Usage: grid_transform_bench L THREADS ROWS [GRID]; GRID lobara (default), cells, dh or gl, the
// columns 2L + 2 (2 ROWS for dh). Prints "analysis CPU WALL ERROR synthesis CPU WALL".
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <utility>
#include <vector>

#include "sht/field_synthesis.h"
#include "sht/grid_analysis.h"

namespace {

constexpr int kRuns = 5;

double CpuSeconds()
{
    timespec time{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &time);
    return static_cast<double>(time.tv_sec) + 1e-9 * static_cast<double>(time.tv_nsec);
}

// The least CPU time and the least wall time of a few runs.
template <typename Run>
std::pair<double, double> BestSeconds(const Run& run)
{
    std::pair<double, double> best{HUGE_VAL, HUGE_VAL};
    for (int k = 0; k < kRuns; ++k)
    {
        const double dCpu = CpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        run();
        best.second = std::min(
            best.second, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        best.first = std::min(best.first, CpuSeconds() - dCpu);
    }
    return best;
}

}  // namespace

int main(int argc, char** argv)
{
    SampleGrid grid = SampleGrid::kLobara;
    if ((argc != 4 && argc != 5) || (argc == 5 && !FindSampleGrid(argv[4], grid)))
    {
        std::fprintf(stderr, "usage: grid_transform_bench L THREADS ROWS [lobara|cells|dh|gl]\n");
        return 2;
    }
    const int L = std::atoi(argv[1]);
    const unsigned nThreads = static_cast<unsigned>(std::atoi(argv[2]));
    const int nT = std::atoi(argv[3]), nP = grid == SampleGrid::kDh ? 2 * nT : 2 * L + 2;

    std::mt19937 random(1);
    std::uniform_real_distribution<double> coefficient(-1.0, 1.0);
    Field field;
    for (int l = 0; l <= L; ++l)
        for (int m = -l; m <= l; ++m)
            field.aTerms.push_back(Term{l, m, coefficient(random)});
    std::vector<double> aValues(static_cast<size_t>(nT) * static_cast<size_t>(nP));
    CFieldSynthesis(field, grid, nT, nP, nThreads).Run(aValues.data());

    Field analysed;
    const auto [dAnalysisCpu, dAnalysisWall] =
        BestSeconds([&] { analysed = AnalyzeGrid(aValues.data(), grid, nT, nP, L, Convention{}, nThreads); });
    double dAnalysisError = 0.0;
    for (size_t k = 0; k < field.aTerms.size(); ++k)
        dAnalysisError = std::max(dAnalysisError, std::fabs(analysed.aTerms[k].c - field.aTerms[k].c));

    const auto [dSynthesisCpu, dSynthesisWall] =
        BestSeconds([&] { CFieldSynthesis(field, grid, nT, nP, nThreads).Run(aValues.data()); });
    std::printf("analysis %.4f %.4f %.3g synthesis %.4f %.4f\n", dAnalysisCpu, dAnalysisWall, dAnalysisError,
                dSynthesisCpu, dSynthesisWall);
    return 0;
}
