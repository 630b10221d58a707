// The synthesis on the grids of analysis against GSL's sums, where each order's sums are taken on
// the grid's own rows and where they are taken on fewer rings and moved to the rows.
#include <gsl/gsl_sf_legendre.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <random>
#include <vector>

#include "gsl_sums.h"
#include "sht/field_synthesis.h"
#include "sht/healpy_layout.h"
#include "sht/sample_grid.h"

namespace {

// Row theta of the terms (every (l, m) up to nMax, in order) at nP columns: each order's cosine and
// sine sums from GSL's normalised functions, then each column's sum over the orders.
std::vector<double> GslRow(const std::vector<Term>& aTerms, int32_t nMax, double theta, int32_t nP)
{
    std::vector<double> aSpharm(gsl_sf_legendre_array_n(static_cast<size_t>(nMax)));
    gsl_sf_legendre_array_e(GSL_SF_LEGENDRE_SPHARM, static_cast<size_t>(nMax), std::cos(theta), 1.0,
                            aSpharm.data());
    std::vector<double> aCos(static_cast<size_t>(nMax) + 1), aSin(static_cast<size_t>(nMax) + 1);
    for (const Term& term : aTerms)
    {
        const auto a = static_cast<size_t>(std::abs(term.m));
        const double p = aSpharm[gsl_sf_legendre_array_index(static_cast<size_t>(term.l), a)];
        if (term.m >= 0)
            aCos[a] += term.c * (term.m == 0 ? 1.0 : std::sqrt(2.0)) * p;
        else
            aSin[a] -= term.c * std::sqrt(2.0) * p;
    }
    std::vector<double> aRow(static_cast<size_t>(nP));
    for (int32_t j = 0; j < nP; ++j)
        for (int32_t m = 0; m <= nMax; ++m)
        {
            // m phi reduced by whole turns, as the synthesis reduces it.
            const double dAngle = 2.0 * M_PI * static_cast<double>((int64_t{m} * j) % nP) / nP;
            aRow[static_cast<size_t>(j)] += aCos[static_cast<size_t>(m)] * std::cos(dAngle) +
                                            aSin[static_cast<size_t>(m)] * std::sin(dAngle);
        }
    return aRow;
}

struct Case
{
    SampleGrid grid;
    int32_t L, nT, nP;
};

// The largest difference from GSL's sums, of the largest value, over some rows: both poles' and
// their neighbours, the equator's and others between. Within a few rows of the poles GSL's own
// sums at degree 1024 are off by up to 1e-11 of the largest value (a few 1e-14 elsewhere): those
// rows count a hundredth of their difference.
double LargestDifference(const Case& c, const std::vector<double>& aValues)
{
    constexpr int32_t kPolarRows = 10;
    constexpr double kPolarShare = 0.01;
    const std::vector<Term> aTerms = RandomTerms(c.L, 3);
    const std::vector<double> aTheta = GridThetas(c.grid, c.nT);
    double dLargest = 0.0, dDifference = 0.0;
    for (const double d : aValues)
        dLargest = std::max(dLargest, std::fabs(d));
    for (int32_t i : {0, 1, 7, c.nT / 3, c.nT / 2 - 1, c.nT / 2, 2 * c.nT / 3 + 1, c.nT - 2, c.nT - 1})
    {
        const std::vector<double> aRow = GslRow(aTerms, c.L, aTheta[static_cast<size_t>(i)], c.nP);
        const bool bPolar = c.L > 100 && std::min(i, c.nT - 1 - i) < kPolarRows;
        for (int32_t j = 0; j < c.nP; ++j)
            dDifference = std::max(dDifference, (bPolar ? kPolarShare : 1.0) *
                                                    std::fabs(aValues[static_cast<size_t>(i) * c.nP + j] -
                                                              aRow[static_cast<size_t>(j)]));
    }
    return dDifference / dLargest;
}

std::vector<double> Synthesis(const Case& c, unsigned nThreads)
{
    std::vector<double> aValues(static_cast<size_t>(c.nT) * static_cast<size_t>(c.nP));
    CFieldSynthesis(Field{RandomTerms(c.L, 3), Convention{}}, c.grid, c.nT, c.nP, nThreads)
        .Run(aValues.data());
    return aValues;
}

}  // namespace

// Small degrees on each grid at its smallest, summed row by row; degree 1024 on rows of lengths
// FFTW takes fast, far more than the degree needs, where each order's sums are moved from 1030
// rings (but on Gauss-Legendre's rows, which are not equally spaced).
TEST(GridSynthesis, AgreesWithGslOnEveryGrid)
{
    for (const Case& c :
         {Case{SampleGrid::kLobara, 30, 32, 61}, Case{SampleGrid::kCells, 30, 31, 61},
          Case{SampleGrid::kDh, 30, 31, 62}, Case{SampleGrid::kGl, 30, 31, 61},
          Case{SampleGrid::kLobara, 1024, 2059, 2049}, Case{SampleGrid::kCells, 1024, 2058, 2049},
          Case{SampleGrid::kDh, 1024, 2058, 4116}, Case{SampleGrid::kGl, 1024, 1100, 2049}})
        EXPECT_LE(LargestDifference(c, Synthesis(c, 2)), 2e-13)
            << SampleGridName(c.grid) << " L = " << c.L << " on " << c.nT << " x " << c.nP;
}

// Healpy's a_lm of a real field, m up to mmax below lmax, read where they lie: the values against
// f = sum of a_l0 Pbar_l0 + 2 (-1)^m Pbar_lm (Re a_lm cos(m phi) - Im a_lm sin(m phi)) over m > 0,
// with GSL's Pbar, on each grid's own rows and, at degree 200 on 1030 rows, moved to them: the
// largest difference of the largest value.
TEST(GridSynthesis, TakesHealpysAlmOnEveryGrid)
{
    for (const Case& c : {Case{SampleGrid::kLobara, 30, 32, 61}, Case{SampleGrid::kCells, 30, 31, 61},
                          Case{SampleGrid::kDh, 30, 31, 62}, Case{SampleGrid::kGl, 30, 31, 61},
                          Case{SampleGrid::kLobara, 200, 1030, 401}})
    {
        const int32_t nMmax = c.L * 2 / 3;
        std::vector<std::complex<double>> aAlm(AlmCount(c.L, nMmax));
        std::mt19937 random(5);
        std::uniform_real_distribution<double> coefficient(-1.0, 1.0);
        for (std::complex<double>& a : aAlm)
            a = {coefficient(random), coefficient(random)};
        std::vector<double> aValues(static_cast<size_t>(c.nT) * static_cast<size_t>(c.nP));
        CFieldSynthesis(aAlm.data(), c.L, nMmax, c.grid, c.nT, c.nP, 2).Run(aValues.data());
        const std::vector<double> aTheta = GridThetas(c.grid, c.nT);
        std::vector<double> aSpharm(gsl_sf_legendre_array_n(static_cast<size_t>(c.L)));
        double dDifference = 0.0;
        // Not the rows beside the poles, where GSL's own sums at degree 200 are off by 1e-12.
        for (int32_t i : {0, c.nT / 4, c.nT / 3, c.nT / 2, c.nT - 1})
        {
            gsl_sf_legendre_array_e(GSL_SF_LEGENDRE_SPHARM, static_cast<size_t>(c.L),
                                    std::cos(aTheta[static_cast<size_t>(i)]), 1.0, aSpharm.data());
            for (int32_t j = 0; j < c.nP; ++j)
            {
                double dExpected = 0.0;
                for (int32_t m = 0; m <= nMmax; ++m)
                    for (int32_t l = m; l <= c.L; ++l)
                    {
                        const double p = aSpharm[gsl_sf_legendre_array_index(static_cast<size_t>(l),
                                                                             static_cast<size_t>(m))];
                        const std::complex<double> a = aAlm[AlmIndex(l, m, c.L)];
                        const double dPhi = 2.0 * M_PI * static_cast<double>((int64_t{m} * j) % c.nP) / c.nP;
                        dExpected += m == 0 ? a.real() * p
                                            : 2.0 * (m % 2 == 0 ? 1.0 : -1.0) * p *
                                                  (a.real() * std::cos(dPhi) - a.imag() * std::sin(dPhi));
                    }
                dDifference =
                    std::max(dDifference, std::fabs(aValues[static_cast<size_t>(i) * c.nP + j] - dExpected));
            }
        }
        double dLargest = 0.0;
        for (const double d : aValues)
            dLargest = std::max(dLargest, std::fabs(d));
        EXPECT_LE(dDifference / dLargest, 2e-13) << SampleGridName(c.grid) << " L = " << c.L;
    }
}

// Each pair of orders is moved by one thread, whichever: the values keep their bits.
TEST(GridSynthesis, GivesTheSameBitsOnAnyNumberOfThreadsWhereMoved)
{
    const Case c{SampleGrid::kCells, 1024, 2058, 2049};
    const std::vector<double> aOne = Synthesis(c, 1);
    for (unsigned nThreads : {2u, 3u})
        EXPECT_TRUE(Synthesis(c, nThreads) == aOne) << nThreads << " threads";
}
