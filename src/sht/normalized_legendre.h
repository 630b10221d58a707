#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

#include "infra/growable_array.h"
#include "sht/legendre_kernels.h"
#include "sht/legendre_scaling.h"

// The fully normalised associated Legendre function of degree l and order |m|,
// Pbar(x) = N(l, m) P_l^|m|(x), with no (-1)^m phase, for degrees far beyond the reach of
// explicit polynomials.
//
// It runs the three-term recurrence in the degree at fixed order on q_k = Pbar_k / sqrt(2k + 1):
//   q_k = alpha_k x q_(k-1) - beta_k q_(k-2),
//   alpha_k = (2k - 1) / sqrt(k^2 - m^2),  beta_k = sqrt(((k - 1)^2 - m^2) / (k^2 - m^2)),
// written for the step d_k = q_k - q_(k-1):
//   d_k = (alpha_k (x - 1) + gamma_k) q_(k-1) + beta_k d_(k-1),  gamma_k = alpha_k - 1 - beta_k.
// Near the poles, where x - 1 and gamma_k are small, the steps are small too and so are their
// rounding errors, where the plain recurrence loses digits in proportion to l^2 (at l = 2000
// its pole value is off by 5e-11 of max|Y|). x < 0 is taken by symmetry. The degree sums and
// their adjoint run the plain recurrence, scaled (see MakeSumSteps), near the equator, where
// nothing is lost by it, and away from the equator a recurrence in x^2 in the difference form
// that takes two degrees a step (see MakePairSteps).
//
// The start value q_mm is a constant times sin^|m|(theta); for high orders near the poles it
// lies far below the double range, so it is carried as a mantissa and a binary exponent until
// the recurrence has raised it back into range.
// cos(theta) - 1 for theta in [0, pi / 2] as -2 sin^2(theta / 2): to the last bits also near the
// pole, where cos(theta) rounded would move the point by up to 1e-16 / sin(theta), and a sum of
// degree L with it by L times that of its size.
inline double CosineLessOne(double dTheta)
{
    const double dHalfSine = std::sin(0.5 * dTheta);
    return -2.0 * dHalfSine * dHalfSine;
}

class NormalizedLegendre
{
public:
    // Points run through the recurrence together, in groups of this many (or fewer, for the sums);
    // a multiple of every kernel path's vector width.
    static constexpr int kLanes = legendre_scaling::kStartLanes;

    // Prepares the recurrence's coefficients: O(l) time and O(l - |m|) memory. For l < 0 or
    // |m| > l the function is 0.
    NormalizedLegendre(int32_t l, int32_t m);
    // The same in place, in the storage of an earlier one: nothing is allocated for l - |m| up to
    // the most it had.
    void Remake(int32_t l, int32_t m);
    // The same for the sums and their adjoint at the nCount points (as EvaluateSums takes them)
    // alone: the paired recurrences' tables, which only points outside the equator's band take, are
    // made only where some of those are not negligible (a third of the preparation, most of it for
    // the belt of a grid's rings, or a high order). EvaluateSums and AdjointSums refuse other
    // points that would take them.
    void Remake(int32_t l, int32_t m, const double* pT, const double* pU, int32_t nCount);

    // pValue[i] = Pbar(pX[i]) for nCount points, where pX[i] = cos(theta) and pU[i] = sin(theta)
    // >= 0, the sine given separately because near the poles it is known far more precisely
    // than sqrt(1 - x^2).
    void Evaluate(const double* pX, const double* pU, int32_t nCount, double* pValue) const;

    // The degree sums of a field at one order: for points with theta <= pi / 2, given by
    // pT[i] = cos(theta) - 1 (CosineLessOne) and pU[i] = sin(theta), the sums over k = |m| .. l of wc_k
    // Pbar_k(x) and of ws_k Pbar_k(x), each split by the parity of k - |m|, so that at -x the same sums give
    // even - odd: pSums[4 i + 0, 1] = even and odd cosine sums, pSums[4 i + 2, 3] the sine sums. The weights
    // are l - |m| + 1 pairs (wc_k, ws_k) for k = |m| .. l at pWeights, made ready once by PrepareWeights
    // as the weights of the two recurrences' scaled values.
    //
    // The points are to run from the pole towards the equator: the leading ones outside the
    // equator's band (kEquatorBand) take the recurrence in x^2, in its
    // difference form near the pole (kPoleBand) and plain beyond, all others the one degree by degree,
    // which near the poles would lose precision in proportion to l^2.
    //
    // The leading points that NegligiblePoints finds add nothing and are not run at all. Both this
    // and AdjointSums return how many of the leading points (the nearest the pole, when the
    // points run from the pole towards the equator) are those, or kept every Pbar_k below 2^-500 (as
    // checked every few steps: below 2^-220 throughout), where all the functions up to degree l
    // vanish and the sums are 0. A higher order only widens that region, so that a caller going up
    // the orders with the same or fewer degrees can leave those points out.
    using SumWeights = std::vector<double, UninitializedAllocator<double>>;
    SumWeights PrepareWeights(const double* pWeights) const
    {
        SumWeights aReady;
        PrepareWeights(pWeights, aReady);
        return aReady;
    }
    // The same into aReady, which allocates nothing where it has room for SumWeightCount().
    void PrepareWeights(const double* pWeights, SumWeights& aReady) const;
    size_t SumWeightCount() const { return DegreeWeightCount() + 8 * PairCount(); }
    int32_t EvaluateSums(const double* pT, const double* pU, int32_t nCount, const SumWeights& aWeights,
                         double* pSums) const;

    // The adjoint of EvaluateSums: for points as there, each with four values (pValues[4 i + 0, 1]
    // the cosine values for even and odd k - |m|, pValues[4 i + 2, 3] the sine values), the sums
    // over the points of each value of k's parity times Pbar_k(x), by degree, into aSums as
    // l - |m| + 1 pairs (cosine, sine) for k = |m| .. l. They gather first as partial sums for each
    // part of each step of the recurrences that some point takes, one for each lane of the kernels'
    // vectors, so that the points add up as vectors: point i into partial sum i modulo the lanes, the
    // points in their order; in aFolded, the caller's to keep for the next order (up to FoldedSize()
    // doubles, taken as needed).
    using Folded = std::vector<double, UninitializedAllocator<double>>;
    int32_t AdjointSums(const double* pT, const double* pU, int32_t nCount, const double* pValues,
                        Folded& aFolded, std::vector<double>& aSums) const;
    // The most partial sums of each: the widest path's lanes.
    static constexpr int kFold = 8;
    // How many of the leading points, given by their sines, lie where every Pbar_k of this order up
    // to its degree l stays below 1e-20: where |m| > l sin(theta) + kNegligibleMargin l^(1/3), beyond
    // the functions' turning point l sin(theta) = |m| by as many times the width over which they
    // fall away there (1e-20 is reached by 9.3 widths at degree 512, 9.5 at 4096, widening by
    // about a twentieth of one each time the degree doubles). What they leave out, were every such
    // term of one sign, is by Cauchy-Schwarz below 1e-20 sqrt(4 pi (l + 1)^2) times the root mean
    // square of the field: 1e-15 of its largest value at degree 32768, far less for terms of random
    // sign. The region only widens for a higher order of the same or fewer degrees.
    static constexpr double kNegligibleMargin = 10.0;
    int32_t NegligiblePoints(const double* pU, int32_t nCount) const;
    // The numbers in each step of the per-degree recurrence's table and of the paired one's.
    static constexpr size_t kDegreeStepSize = 2, kPairStepSize = 3, kPlainStepSize = 2;
    size_t FoldedSize() const;

private:
    // AdjointSums's two halves: the partial sums into pFolded, of the recurrences that some point
    // takes (abRun, in the order of kRecurrences), which the first of their points writes; and those
    // added together.
    int32_t AccumulateSums(const double* pT, const double* pU, int32_t nCount, const double* pValues,
                           double* pFolded, bool (&abRun)[3]) const;
    void FinishSums(const double* pFolded, const bool (&abRun)[3], std::vector<double>& aSums) const;
    // Points with x below this run through the recurrence degree by degree; the others take two
    // degrees a step by the recurrence in x^2, which loses precision towards the equator as 1 / x:
    // its even degrees are differences of terms 1 / x larger, and at x = 0 it is as ill-conditioned
    // as the plain recurrence at the poles. From 0.7 down, an analysis of degree 1023 on
    // Gauss-Legendre rings loses a tenth of its precision and more, and so does its synthesis.
    static constexpr double kEquatorBand = 0.7;
    // Points with x at or above this take the paired recurrence in its difference form, the others
    // outside the equator's band its plain form, a multiply-add less a step: B_k + 1 + G_k sits on 2
    // near the poles, where the plain form would lose the last digits of G_k to it (the sums of degree
    // 2048 on 2050 rows with the plain form at the poles err by three times as much, on Gauss-Legendre
    // rings of degree 1023 ten times; with it from 0.99 to the equator's band, a hundredth more).
    static constexpr double kPoleBand = 0.99;
    // How many of the leading points have x >= dX.
    static int32_t PointsAbove(double dX, const double* pT, int32_t nCount);
    // The number of Q_k of the per-degree recurrence and of R_k of the paired one.
    size_t DegreeCount() const { return m_dStart == 0.0 ? 0 : m_aSteps.size() / kDegreeStepSize + 1; }
    size_t PairCount() const
    {
        return m_dStart == 0.0 || !m_bPairs ? 0 : m_aPairSteps.size() / kPairStepSize + 1;
    }
    // Remake without the paired tables; and those, for the order and degree it set.
    void RemakeDegrees(int32_t l, int32_t m);
    void MakePairTables();
    // Refuses points from nNegligible to nEquatorEnd, which take the paired recurrences, where their
    // tables were left out.
    void CheckPairTables(int32_t nNegligible, int32_t nEquatorEnd) const;
    // The per-degree sums' weights: four for degree |m|, four for each two degrees above it.
    size_t DegreeWeightCount() const { return DegreeCount() == 0 ? 0 : 4 * ((DegreeCount() + 2) / 2); }
    // The tables as the kernels take them.
    LegendreTables Tables() const;
    // Up to kLanes points at once, with the plain steps alpha_k, beta_k, gamma_k.
    void EvaluateLanes(const double* pSteps, const double* pX, const double* pU, int32_t nCount,
                       double* pValue) const;

    int64_t m_nOrder = 0;                // |m|
    bool m_bPairs = true;                // the paired recurrences' tables are made
    bool m_bOddUnderReflection = false;  // Pbar(-x) = -Pbar(x): l - |m| is odd
    double m_dStart = 0.0;               // q_mm / u^|m|; 0 when the function is 0
    double m_dFinish = 0.0;              // sqrt(2l + 1)
    // The sums' scaled steps A'_k, mu_k for k = |m| + 1 .. l; each is written before it is read,
    // so the storage is not zero-filled first.
    std::vector<double, UninitializedAllocator<double>> m_aSteps;
    // The paired recurrence's start r_0 / u^|m| and its steps A, G, B for k = 0 .. (l - |m|) / 2 - 1.
    double m_dPairStart = 0.0;
    std::vector<double, UninitializedAllocator<double>> m_aPairSteps;
    // Its plain form's steps a, b, and nu_k for k = 0 .. (l - |m|) / 2 (see MakePlainSteps).
    std::vector<double, UninitializedAllocator<double>> m_aPlainSteps, m_aPlainScale;
};
