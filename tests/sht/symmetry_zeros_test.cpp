#include "sht/symmetry_zeros.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <utility>
#include <vector>

#include "closed_form_harmonic.h"
#include "sht/angles.h"
#include "sht/build_limits.h"

namespace {

double ExactValue(const Field& field, double dTheta, double dPhi)
{
    double dSum = 0.0;
    for (const Term& term : field.aTerms)
        dSum += term.c * ClosedFormHarmonic(term.l, term.m, field.convention, dTheta, dPhi);
    return dSum;
}

// Every sample marked is a zero of the field's exact value, to rounding.
void ExpectMarksOnlyZeros(const Field& field, int nRows, int nColumns)
{
    const std::vector<unsigned char> aZero = SymmetryZeros(field, nRows, nColumns);
    for (int i = 0; i < nRows; ++i)
        for (int j = 0; j < nColumns; ++j)
            if (aZero[static_cast<size_t>(i * nColumns + j)])
            {
                const double dTheta = nRows == 1 ? 0.0 : kPi * i / (nRows - 1);
                EXPECT_NEAR(ExactValue(field, dTheta, kTwoPi * j / nColumns), 0.0, 1e-12)
                    << "sample " << i << ", " << j << " of " << nRows << "x" << nColumns;
            }
}

Field Sum(std::vector<Term> aTerms)
{
    return Field{std::move(aTerms), Convention{}};
}

// The orders of a sum vanish on different meridians: Y(1, 1) + Y(2, 2) is 0.55 at phi = pi / 2
// on the equator, where Y(1, 1) alone is 0.
TEST(SymmetryZeros, OfSumsAreZerosOfEveryTerm)
{
    const int aGrids[][2] = {{5, 8}, {9, 12}, {7, 16}, {6, 10}, {3, 4}};
    const std::vector<Field> aFields = {
        Sum({{1, 1, 1.0}, {2, 2, 1.0}}),  Sum({{2, 2, 1.0}, {1, 1, 1.0}}),  Sum({{2, 1, 1.0}, {3, -2, 0.5}}),
        Sum({{3, -3, 1.0}, {3, 3, 1.0}}), Sum({{2, -1, 1.0}, {1, 1, 2.0}}), Sum({{4, 2, 1.0}, {2, -2, 1.0}}),
        Sum({{1, 0, 1.0}, {3, 2, 1.0}}),  Sum({{2, 1, 1.0}, {4, 3, 1.0}}),
    };
    for (const Field& field : aFields)
        for (const auto& grid : aGrids)
            ExpectMarksOnlyZeros(field, grid[0], grid[1]);
    std::mt19937 random(55);
    std::uniform_int_distribution<int> degree(0, 6);
    for (int n = 0; n < 40; ++n)
    {
        Field field = Sum({});
        for (int k = 0; k < 3; ++k)
        {
            const int l = degree(random);
            field.aTerms.push_back(Term{l, std::uniform_int_distribution<int>(-l, l)(random), 1.0});
        }
        for (const auto& grid : aGrids)
            ExpectMarksOnlyZeros(field, grid[0], grid[1]);
    }
}

TEST(SymmetryZeros, MarksTheZerosASumSharesAndNoOthers)
{
    // Y(1, 1) + Y(2, 2) on 5 x 8: both vanish at the poles only (cos phi and cos 2 phi share
    // no zero), so the marks are exactly the two pole rows.
    const std::vector<unsigned char> aPair = SymmetryZeros(Sum({{1, 1, 1.0}, {2, 2, 1.0}}), 5, 8);
    for (int i = 0; i < 5; ++i)
        for (int j = 0; j < 8; ++j)
            EXPECT_EQ(aPair[static_cast<size_t>(i * 8 + j)], i == 0 || i == 4) << i << ", " << j;
    // Y(2, 1) + Y(4, 3): odd l - m, both 0 on the equator row; cos phi and cos 3 phi share pi / 2
    // and 3 pi / 2 (columns 2 and 6 of 8).
    const std::vector<unsigned char> aOdd = SymmetryZeros(Sum({{2, 1, 1.0}, {4, 3, 1.0}}), 5, 8);
    for (int i = 0; i < 5; ++i)
        for (int j = 0; j < 8; ++j)
            EXPECT_EQ(aOdd[static_cast<size_t>(i * 8 + j)], i == 0 || i == 2 || i == 4 || j == 2 || j == 6)
                << i << ", " << j;
}

// A grid of no samples (a count of 0 or below, as the command line may ask) has no zeros to
// mark, as CountGrid has no vertices for it; a negative count times a positive one is no size.
TEST(SymmetryZerosTest, GridsWithoutSamplesHaveNone)
{
    const Field field = {{Term{3, 2, 1.0}}, Convention{}};
    for (const auto& [nRows, nColumns] : {std::pair{-1, 240}, {480, -1}, {-1, -1}, {0, 5}, {5, 0}})
    {
        EXPECT_EQ(SymmetryZeros(field, nRows, nColumns).size(),
                  static_cast<size_t>(CountGrid(nRows, nColumns).nVertices))
            << nRows << " x " << nColumns;
    }
    // Y(3, 2) vanishes at both poles: every sample of the first row of a 3 x 4 grid.
    const std::vector<unsigned char> aZeros = SymmetryZeros(field, 3, 4);
    ASSERT_EQ(aZeros.size(), 12u);
    EXPECT_EQ(aZeros[0] + aZeros[1] + aZeros[2] + aZeros[3], 4);
}

}  // namespace
