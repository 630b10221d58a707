#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <random>
#include <stdexcept>
#include <utility>
#include <vector>

#include "closed_form_harmonic.h"
#include "sht/angles.h"
#include "sht/field_synthesis.h"

namespace {

// The field summed term by term from the closed forms.
double SumDirectly(const Field& field, double dTheta, double dPhi)
{
    double dSum = 0.0;
    for (const Term& term : field.aTerms)
        dSum += term.c * ClosedFormHarmonic(term.l, term.m, field.convention, dTheta, dPhi);
    return dSum;
}

// The sum of the terms' largest sizes on the sphere: the scale that rounding is measured against.
double FieldScale(const Field& field)
{
    double dScale = 0.0;
    for (const Term& term : field.aTerms)
    {
        double dLargest = 0.0;
        for (int k = 0; k <= 200; ++k)
            dLargest = std::fmax(dLargest, std::fabs(PlainLegendre(term.l, term.m, k / 100.0 - 1.0)));
        dScale += std::fabs(term.c * ClosedFormScale(term.l, term.m, field.convention)) * dLargest;
    }
    return dScale;
}

// Random fields of up to 12 terms of degree up to 10, repeats and every sign of order included.
Field RandomField(std::mt19937& random, const Convention& convention)
{
    std::uniform_int_distribution<int> terms(1, 12), degree(0, 10);
    std::uniform_real_distribution<double> coefficient(-2.0, 2.0);
    Field field{{}, convention};
    for (int n = terms(random); n > 0; --n)
    {
        const int l = degree(random);
        const int m = std::uniform_int_distribution<int>(-l, l)(random);
        field.aTerms.push_back(Term{l, m, coefficient(random)});
    }
    return field;
}

const Convention kConventions[] = {
    {},
    {Normalization::kOrtho, true, SineSign::kStandard},
    {Normalization::k4Pi, false, SineSign::kStandard},
    {Normalization::kSchmidt, true, SineSign::kLobara},
    {Normalization::kUnnormalized, true, SineSign::kStandard},
    {Normalization::kN3d, false, SineSign::kLobara},
};

// The grid's samples: theta from pole to pole (one row is the north pole), phi = 2 pi j / columns.
// 154 rows have 77 northern ones: nine whole blocks of the rows summed together, then five rows.
TEST(FieldSynthesis, MatchesTheDirectSumOnEveryGrid)
{
    std::mt19937 random(28);
    const std::array<int, 2> aGrids[] = {{1, 1},  {2, 3},   {5, 8},   {11, 7}, {15, 8},
                                         {17, 6}, {16, 33}, {31, 64}, {154, 5}};
    for (const Convention& convention : kConventions)
        for (const auto& grid : aGrids)
            for (const unsigned nThreads : {1u, 2u})
            {
                const Field field = RandomField(random, convention);
                const double dTolerance = 1e-12 * FieldScale(field);
                const int nRows = grid[0], nColumns = grid[1];
                std::vector<double> aValues(static_cast<size_t>(nRows * nColumns));
                CFieldSynthesis(field, nRows, nColumns, nThreads).Run(aValues.data());
                for (int i = 0; i < nRows; ++i)
                    for (int j = 0; j < nColumns; ++j)
                    {
                        const double dTheta = nRows == 1 ? 0.0 : kPi * i / (nRows - 1);
                        ASSERT_NEAR(aValues[static_cast<size_t>(i * nColumns + j)],
                                    SumDirectly(field, dTheta, kTwoPi * j / nColumns), dTolerance)
                            << NormalizationName(convention.normalization) << " grid " << nRows << "x"
                            << nColumns << " at " << i << ", " << j;
                    }
            }
}

TEST(FieldSynthesis, EvaluatesAnyPointAsTheDirectSum)
{
    std::mt19937 random(6);
    std::uniform_real_distribution<double> theta(0.0, kPi), phi(-10.0, 10.0);
    for (const Convention& convention : kConventions)
        for (int n = 0; n < 4; ++n)
        {
            const Field field = RandomField(random, convention);
            std::vector<std::array<double, 2>> aPoints = {{0.0, 1.0}, {kPi, -2.0}, {kPi / 2.0, 0.5}};
            for (int k = 0; k < 20; ++k)
                aPoints.push_back({theta(random), phi(random)});
            const std::vector<double> aValues = EvaluateField(field, aPoints);
            for (size_t k = 0; k < aPoints.size(); ++k)
                EXPECT_NEAR(aValues[k], SumDirectly(field, aPoints[k][0], aPoints[k][1]),
                            1e-12 * FieldScale(field))
                    << NormalizationName(convention.normalization) << " point " << k;
        }
}

// Fields of every (l, m) up to L in order, as analyses give them, are read in one pass that
// checks each term's place: with zeros (a whole order of them, and the top degree), on one
// thread and on two, and with two terms swapped late, where the pass gives up after writing.
TEST(FieldSynthesis, FieldsOfEveryTermInPlaceMatchTheDirectSum)
{
    std::mt19937 random(11);
    std::uniform_real_distribution<double> coefficient(-2.0, 2.0);
    constexpr int L = 10, nRows = 9, nColumns = 24;
    for (const Convention& convention : kConventions)
        for (const bool bSwapped : {false, true})
            for (const unsigned nThreads : {1u, 2u})
            {
                Field field{{}, convention};
                for (int l = 0; l <= L; ++l)
                    for (int m = -l; m <= l; ++m)
                        field.aTerms.push_back(
                            Term{l, m, std::abs(m) == 3 || l == L ? 0.0 : coefficient(random)});
                if (bSwapped)  // (L - 1, L - 2) and (L - 1, L - 1)
                    std::swap(field.aTerms[L * L - 2], field.aTerms[L * L - 1]);
                std::vector<double> aValues(static_cast<size_t>(nRows * nColumns));
                CFieldSynthesis(field, nRows, nColumns, nThreads).Run(aValues.data());
                for (int i = 0; i < nRows; ++i)
                    for (int j = 0; j < nColumns; ++j)
                        ASSERT_NEAR(aValues[static_cast<size_t>(i * nColumns + j)],
                                    SumDirectly(field, kPi * i / (nRows - 1), kTwoPi * j / nColumns),
                                    1e-12 * FieldScale(field))
                            << NormalizationName(convention.normalization) << (bSwapped ? " swapped" : "")
                            << " at " << i << ", " << j;
            }
    // Unnormalised harmonics of degree 200 are beyond the doubles: refused, not summed.
    Field field{{}, {Normalization::kUnnormalized, false, SineSign::kLobara}};
    for (int l = 0; l <= 200; ++l)
        for (int m = -l; m <= l; ++m)
            field.aTerms.push_back(Term{l, m, 1.0});
    EXPECT_THROW(CFieldSynthesis(field, 3, 4, 2), std::runtime_error);
}

// Sectoral terms of every order up to 4095 on 1100 rows: the orders' sums at the rows take more
// room than a part of the rows may, so the rows go in parts. Against the closed form, in
// logarithms: Pbar_mm = sqrt((2m + 1) / (4 pi) prod_(k=1..m) (2k - 1) / (2k)) sin^m(theta). The
// progress told rises to every row.
TEST(FieldSynthesis, RowsInPartsMatchTheSectoralClosedForm)
{
    constexpr int nTop = 4095, nRows = 1100, nColumns = 3;
    std::mt19937 random(5);
    std::uniform_real_distribution<double> coefficient(-1.0, 1.0);
    Field field;
    std::vector<double> aCos(nTop + 1), aSin(nTop + 1, 0.0), aLogNorm(nTop + 1);
    double dLogProduct = 0.0;
    for (int m = 0; m <= nTop; ++m)
    {
        aCos[static_cast<size_t>(m)] = coefficient(random);
        field.aTerms.push_back(Term{m, m, aCos[static_cast<size_t>(m)]});
        if (m > 0)
        {
            aSin[static_cast<size_t>(m)] = coefficient(random);
            field.aTerms.push_back(Term{m, -m, aSin[static_cast<size_t>(m)]});
            dLogProduct += std::log((2.0 * m - 1.0) / (2.0 * m));
        }
        aLogNorm[static_cast<size_t>(m)] =
            0.5 * (std::log(2.0 * m + 1.0) - std::log(4.0 * kPi) + dLogProduct);
    }
    std::vector<double> aValues(static_cast<size_t>(nRows * nColumns));
    std::vector<int32_t> aTold;
    CFieldSynthesis(field, nRows, nColumns, 2).Run(aValues.data(), [&](int32_t n) { aTold.push_back(n); });
    for (int i = 0; i < nRows; ++i)
    {
        const double dTheta = kPi * i / (nRows - 1), dLogSin = std::log(std::sin(dTheta));
        for (int j = 0; j < nColumns; ++j)
        {
            const double dPhi = kTwoPi * j / nColumns;
            double dSum = 0.0, dScale = 0.0;
            for (int m = 0; m <= nTop; ++m)
            {
                const size_t k = static_cast<size_t>(m);
                const double dP = std::exp(aLogNorm[k] + (m == 0 ? 0.0 : m * dLogSin));
                // Y(m, m) = sqrt(2) Pbar cos(m phi), Y(m, -m) = -sqrt(2) Pbar sin(m phi); Y(0, 0) = Pbar.
                const double dC = (m == 0 ? 1.0 : kSqrt2) * dP * std::cos(m * dPhi);
                const double dS = -kSqrt2 * dP * std::sin(m * dPhi);
                dSum += aCos[k] * dC + aSin[k] * dS;
                dScale += std::fabs(aCos[k] * dC) + std::fabs(aSin[k] * dS);
            }
            ASSERT_NEAR(aValues[static_cast<size_t>(i * nColumns + j)], dSum, 1e-12 * dScale)
                << i << ", " << j;
        }
    }
    ASSERT_FALSE(aTold.empty());
    EXPECT_TRUE(std::is_sorted(aTold.begin(), aTold.end()));
    EXPECT_EQ(aTold.back(), nRows);
}

// Each thread takes the orders as they come and leaves out the rows near the pole where its earlier
// orders vanished; the values must not depend on which thread did what. A field of every term up to
// 600 on 602 rows, where the highest orders vanish or are left out over most of the rows.
TEST(FieldSynthesis, GivesTheSameBitsOnAnyNumberOfThreads)
{
    constexpr int L = 600, nRows = L + 2, nColumns = 2 * L + 2;
    std::mt19937 random(3);
    std::uniform_real_distribution<double> coefficient(-1.0, 1.0);
    Field field;
    for (int l = 0; l <= L; ++l)
        for (int m = -l; m <= l; ++m)
            field.aTerms.push_back(Term{l, m, coefficient(random)});
    std::vector<double> aOne(static_cast<size_t>(nRows * nColumns)), aSeveral(aOne.size());
    CFieldSynthesis(field, nRows, nColumns, 1).Run(aOne.data());
    for (const unsigned nThreads : {2u, 3u})
    {
        CFieldSynthesis(field, nRows, nColumns, nThreads).Run(aSeveral.data());
        for (size_t k = 0; k < aOne.size(); ++k)
            ASSERT_EQ(aSeveral[k], aOne[k]) << nThreads << " threads, value " << k;
    }
}

}  // namespace
