// A 0.1-degree geoid map (1801 x 3600 samples) of a degree-2190 gravity model, beside the
// synthesis alone of its coefficients on the same grid and threads: the model's coefficients
// random with Kaula's spectrum (fully normalised, sigma_l = 1e-5 / l^2), GRS80's normal field
// removed, the geoid's factors applied per degree, then the synthesis. bench/geoid_map.py runs
// both and compares them.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "geodesy/field_quantity.h"
#include "geodesy/normal_field.h"
#include "sht/field_synthesis.h"

namespace {

constexpr int32_t kDegree = 2190;
constexpr int32_t kRows = 1801;
constexpr int32_t kColumns = 3600;
constexpr double kGm = 3.986004415e14;
constexpr double kRadius = 6378136.3;
const Convention kFullyNormalized{Normalization::k4Pi, false, SineSign::kStandard};

const std::vector<Term>& KaulaTerms()
{
    static const std::vector<Term> aTerms = [] {
        std::mt19937 random(2190);
        std::normal_distribution<double> unit(0.0, 1.0);
        std::vector<Term> aModel = {{0, 0, 1.0}};
        for (int32_t l = 1; l <= kDegree; ++l)
            for (int32_t m = -l; m <= l; ++m)
                aModel.push_back(
                    Term{l, m, (l == 2 && m == 0 ? -4.8416e-4 : 0.0) + 1e-5 / (l * l) * unit(random)});
        return aModel;
    }();
    return aTerms;
}

void Synthesize(benchmark::State& state, bool bGeoid)
{
    const unsigned nThreads = static_cast<unsigned>(state.range(0));
    std::vector<double> aValues(static_cast<size_t>(kRows) * kColumns);
    const ReferenceEllipsoid& grs80 = *FindReferenceEllipsoid("GRS80");
    for (auto _ : state)
    {
        Field field{KaulaTerms(), kFullyNormalized};
        if (bGeoid)
        {
            RemoveNormalField(field.aTerms, NormalFieldTerms(grs80, kGm, kRadius, kFullyNormalized, kDegree));
            ApplyQuantity(*FindQuantity("geoid"),
                          QuantitySetting{kRadius, kGm, 0.0, ComputeNormalGravity(grs80).dMean},
                          field.aTerms);
        }
        const CFieldSynthesis synthesis(field, kRows, kColumns, nThreads);
        synthesis.Run(aValues.data());
        benchmark::DoNotOptimize(aValues.data());
    }
    state.counters["points"] = static_cast<double>(aValues.size());
}

void SynthesisAlone(benchmark::State& state)
{
    Synthesize(state, false);
}

void GeoidMap(benchmark::State& state)
{
    Synthesize(state, true);
}

}  // namespace

BENCHMARK(SynthesisAlone)->Arg(2)->ArgName("threads")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(GeoidMap)->Arg(2)->ArgName("threads")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_MAIN();
