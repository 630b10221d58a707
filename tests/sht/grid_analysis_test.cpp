// Analysis on each grid against the synthesis: random coefficients sampled and analysed come
// back, on every grid at its smallest size, in every convention.
#include "sht/grid_analysis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "sht/convention.h"
#include "sht/field_synthesis.h"
#include "sht/own_coefficients.h"

namespace {

Field RandomField(int32_t nMax, unsigned nSeed, const Convention& convention = Convention{})
{
    std::mt19937 random(nSeed);
    std::uniform_real_distribution<double> coefficient(-1.0, 1.0);
    Field field{{}, convention};
    for (int32_t l = 0; l <= nMax; ++l)
        for (int32_t m = -l; m <= l; ++m)
            field.aTerms.push_back(Term{l, m, coefficient(random)});
    return field;
}

// The field's values on the grid, by the synthesis.
std::vector<double> Sample(const Field& field, SampleGrid grid, int32_t nT, int32_t nP)
{
    std::vector<double> aValues(static_cast<size_t>(nT) * static_cast<size_t>(nP));
    CFieldSynthesis(field, grid, nT, nP, 1).Run(aValues.data());
    return aValues;
}

struct Errors
{
    double dRelativeL2;
    double dLargest;  // of the largest coefficient
};

// Errors of the analysed coefficients, each scaled to the program's own convention: in the others
// the sizes of the coefficients of one field differ by many orders.
Errors Compare(const Field& analysed, const Field& expected)
{
    double dSquares = 0.0, dErrorSquares = 0.0, dLargest = 0.0, dLargestError = 0.0;
    EXPECT_EQ(analysed.aTerms.size(), expected.aTerms.size());
    for (size_t k = 0; k < std::min(analysed.aTerms.size(), expected.aTerms.size()); ++k)
    {
        const Term& term = expected.aTerms[k];
        const double dFactor = ConventionFactor(term.l, term.m, expected.convention);
        const double c = term.c * dFactor, e = (analysed.aTerms[k].c - term.c) * dFactor;
        dSquares += c * c;
        dErrorSquares += e * e;
        dLargest = std::max(dLargest, std::fabs(c));
        dLargestError = std::max(dLargestError, std::fabs(e));
    }
    return Errors{std::sqrt(dErrorSquares / dSquares), dLargestError / dLargest};
}

}  // namespace

// L = 1023 on each grid at its smallest: lobara 1025 x 2048 (meridians resampled), cells and gl
// 1024 x 2047, dh 1024 x 2048 (south pole from the band limit).
TEST(GridAnalysis, RecoversDegree1023OnEachGridAtItsSmallestTo1e13)
{
    const int32_t L = 1023;
    const Field field = RandomField(L, 7);
    struct Case
    {
        SampleGrid grid;
        int32_t nT, nP;
    };
    for (const Case& c :
         {Case{SampleGrid::kLobara, L + 2, 2 * L + 2}, Case{SampleGrid::kCells, L + 1, 2 * L + 1},
          Case{SampleGrid::kDh, L + 1, 2 * L + 2}, Case{SampleGrid::kGl, L + 1, 2 * L + 1}})
    {
        ASSERT_EQ(AnalysisLimit(c.grid, c.nT, c.nP), L);
        const std::vector<double> aValues = Sample(field, c.grid, c.nT, c.nP);
        const Errors errors =
            Compare(AnalyzeGrid(aValues.data(), c.grid, c.nT, c.nP, L, Convention{}, 2), field);
        EXPECT_LE(errors.dRelativeL2, 1e-13) << SampleGridName(c.grid);
        EXPECT_LE(errors.dLargest, 1e-12) << SampleGridName(c.grid);
    }
}

// A field of degree D analysed to L < D gives its own coefficients up to L: the exact projection.
// On each grid at its smallest size for D and at twice it, for L = D / 4, D / 2, D - 1 and D. The
// equally spaced grids once resampled F_m by its series cut at L (onto 2L + 1 rings) or summed it
// on their own rings: off by 1e-4 to 1e-1 of the largest coefficient.
TEST(GridAnalysis, ProjectsAFieldOfHigherDegreeExactly)
{
    const int32_t D = 96;
    const Field field = RandomField(D, 11);
    for (SampleGrid grid : {SampleGrid::kLobara, SampleGrid::kCells, SampleGrid::kDh, SampleGrid::kGl})
        for (int32_t nScale : {1, 2})
        {
            const int32_t nT = nScale * (grid == SampleGrid::kLobara ? D + 2 : D + 1);
            const int32_t nP = grid == SampleGrid::kDh ? 2 * nT : nScale * (2 * D + 1);
            const std::vector<double> aValues = Sample(field, grid, nT, nP);
            for (int32_t L : {D / 4, D / 2, D - 1, D})
            {
                const Field analysed = AnalyzeGrid(aValues.data(), grid, nT, nP, L, Convention{}, 2);
                const Field expected{
                    std::vector<Term>(field.aTerms.begin(), field.aTerms.begin() + OwnCount(L)),
                    field.convention};
                EXPECT_LE(Compare(analysed, expected).dLargest, 1e-13)
                    << SampleGridName(grid) << " " << nT << " x " << nP << " L = " << L;
            }
        }
}

// Synthesis then analysis gives the coefficients back in every convention (the factors cancel),
// on every grid at random sizes from its smallest upwards, for random degrees.
TEST(GridAnalysis, InvertsTheSynthesisInEveryConventionAndGridSize)
{
    std::mt19937 random(3);
    const Normalization aNormalizations[] = {Normalization::kOrtho,   Normalization::k4Pi,
                                             Normalization::kSchmidt, Normalization::kUnnormalized,
                                             Normalization::kSn3d,    Normalization::kN3d};
    const SampleGrid aGrids[] = {SampleGrid::kLobara, SampleGrid::kCells, SampleGrid::kDh, SampleGrid::kGl};
    for (Normalization normalization : aNormalizations)
        for (bool bCs : {false, true})
            for (SineSign sine : {SineSign::kLobara, SineSign::kStandard})
                for (SampleGrid grid : aGrids)
                {
                    const Convention convention{normalization, bCs, sine};
                    const int32_t L = std::uniform_int_distribution<int32_t>(0, 24)(random);
                    const int32_t nExtra = std::uniform_int_distribution<int32_t>(0, 30)(random);
                    const int32_t nT = (grid == SampleGrid::kLobara ? L + 2 : L + 1) + nExtra;
                    const int32_t nP = grid == SampleGrid::kDh
                                           ? 2 * nT
                                           : 2 * L + 1 + std::uniform_int_distribution<int32_t>(0, 9)(random);
                    const Field field = RandomField(L, random(), convention);
                    const std::vector<double> aValues = Sample(field, grid, nT, nP);
                    const Errors errors =
                        Compare(AnalyzeGrid(aValues.data(), grid, nT, nP, L, convention, 2), field);
                    EXPECT_LE(errors.dLargest, 1e-13)
                        << SampleGridName(grid) << " " << nT << " x " << nP << " L=" << L << " "
                        << NormalizationName(normalization) << bCs << (sine == SineSign::kLobara);
                }
}

// The threads take the orders as they come, and each leaves out the rings near the pole where its
// earlier orders vanished (at L = 400, the 40 or so nearest); the coefficients must not depend on
// which thread did what, on the grid's own rings (2L + 2 rows) or moved (L + 2 rows).
TEST(GridAnalysis, GivesTheSameBitsOnAnyNumberOfThreads)
{
    const int32_t L = 400, nP = 2 * L + 2;
    for (int32_t nT : {L + 2, 2 * L + 2})
    {
        const std::vector<double> aValues = Sample(RandomField(L, 5), SampleGrid::kLobara, nT, nP);
        const Field one = AnalyzeGrid(aValues.data(), SampleGrid::kLobara, nT, nP, L, Convention{}, 1);
        for (unsigned nThreads : {2u, 3u})
        {
            const Field several =
                AnalyzeGrid(aValues.data(), SampleGrid::kLobara, nT, nP, L, Convention{}, nThreads);
            ASSERT_EQ(several.aTerms.size(), one.aTerms.size());
            for (size_t k = 0; k < one.aTerms.size(); ++k)
                ASSERT_EQ(several.aTerms[k].c, one.aTerms[k].c) << nThreads << " threads, term " << k;
        }
    }
}

// An analysis into a field that holds another's terms, of more degrees, of fewer and in another
// convention, keeps none of them: each time the coefficients sampled come back, in the convention
// asked, and nothing more.
TEST(GridAnalysis, IntoAFieldHeldBeforeGivesOnlyItsOwnTerms)
{
    const Convention geodesy{Normalization::k4Pi, false, SineSign::kStandard};
    Field result;
    for (const auto& [L, convention] : {std::pair{48, geodesy}, std::pair{24, Convention{}},
                                        std::pair{48, Convention{}}, std::pair{40, geodesy}})
    {
        const Field field = RandomField(L, 13, convention);
        const int32_t nT = L + 2, nP = 2 * L + 2;
        const std::vector<double> aValues = Sample(field, SampleGrid::kLobara, nT, nP);
        AnalyzeGrid(aValues.data(), SampleGrid::kLobara, nT, nP, L, convention, 2, result);
        EXPECT_TRUE(result.convention == convention);
        EXPECT_LE(Compare(result, field).dLargest, 1e-13) << "L = " << L;
    }
}

// The degree asked is checked against the grid's limit, and dh's shape against its rule.
TEST(GridAnalysis, RefusesDegreesBeyondTheGridAndShapesNotOfIt)
{
    const std::vector<double> aValues(10 * 20, 1.0);
    EXPECT_THROW(AnalyzeGrid(aValues.data(), SampleGrid::kLobara, 10, 20, 9, Convention{}),
                 std::invalid_argument);
    EXPECT_THROW(AnalyzeGrid(aValues.data(), SampleGrid::kDh, 10, 19, 1, Convention{}),
                 std::invalid_argument);
    EXPECT_THROW(AnalyzeGrid(aValues.data(), SampleGrid::kGl, 20, 10, 5, Convention{}),
                 std::invalid_argument);
    try
    {
        AnalyzeGrid(aValues.data(), SampleGrid::kCells, 10, 20, 10, Convention{});
    }
    catch (const std::invalid_argument& error)
    {
        EXPECT_NE(std::string(error.what()).find("limit is 9"), std::string::npos) << error.what();
    }
}
