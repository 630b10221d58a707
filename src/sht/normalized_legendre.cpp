#include "sht/normalized_legendre.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "infra/vector_kernel.h"
#include "sht/angles.h"
#include "sht/build_limits.h"

namespace {

using namespace legendre_scaling;

// The recurrences in the order of their runs of points from the pole (see kPoleBand, kEquatorBand).
constexpr LegendreRecurrence kRecurrences[3] = {LegendreRecurrence::kPaired, LegendreRecurrence::kPlain,
                                                LegendreRecurrence::kDegree};

constexpr int kLanes = NormalizedLegendre::kLanes;

// nSteps steps of the recurrence for kLanes points at once: lane b holds t = |x| - 1, q_(k-1)
// and d_(k-1).
LOBARA_VECTOR_KERNEL
void RunSteps(const double* __restrict pStep, size_t nSteps, const double* __restrict t, double* __restrict q,
              double* __restrict d)
{
    for (size_t k = 0; k < nSteps; ++k, pStep += 3)
    {
        const double dAlpha = pStep[0];
        const double dBeta = pStep[1];
        const double dGamma = pStep[2];
        for (int b = 0; b < kLanes; ++b)
        {
            d[b] = (dAlpha * t[b] + dGamma) * q[b] + dBeta * d[b];
            q[b] = q[b] + d[b];
        }
    }
}

// s_k = sqrt(k^2 - m^2), the root the plain steps are made of.
inline double DegreeRoot(double dK, double dM)
{
    return std::sqrt((dK - dM) * (dK + dM));
}

// From the table of roots p (below): s_k = sqrt(k - m) sqrt(k + m) of k = m + n, and V_j = s_j s_(j-1)
// of j = m + n; from the table of inverse roots, their inverses.
inline double RootOfDegree(const double* p, size_t m, size_t n)
{
    return p[n] * p[2 * m + n];
}

inline double RootOfPair(const double* p, size_t m, size_t n)
{
    return RootOfDegree(p, m, n) * RootOfDegree(p, m, n - 1);
}

// The numbers every order's coefficients are made of, worked out once: sqrt(n) and 1 / sqrt(n),
// each to within an ulp, for n up to 2 kMaxDegree + 8, so that a root of a product of integers is
// a product of roots and a division by it a product of inverses, which vectorise (square roots
// and divisions at each degree of each order took a third of a synthesis's preparation); and
// q_mm's constant prod_(k=1..m) (2k - 1) / (2k) for m up to kMaxDegree, in the order the product
// was taken for each order alone.
struct Constants
{
    std::vector<double> aRoot, aInverseRoot, aStartProduct;
};

const Constants& RecurrenceConstants()
{
    static const Constants constants = [] {
        constexpr size_t nRoots = 2 * static_cast<size_t>(kMaxDegree) + 9;
        Constants made;
        made.aRoot.resize(nRoots);
        made.aInverseRoot.resize(nRoots);
        for (size_t n = 0; n < nRoots; ++n)
        {
            made.aRoot[n] = std::sqrt(static_cast<double>(n));
            made.aInverseRoot[n] = n == 0 ? 0.0 : 1.0 / made.aRoot[n];
        }
        made.aStartProduct.resize(static_cast<size_t>(kMaxDegree) + 1);
        made.aStartProduct[0] = 1.0;
        for (size_t k = 1; k < made.aStartProduct.size(); ++k)
            made.aStartProduct[k] =
                made.aStartProduct[k - 1] * (static_cast<double>(2 * k - 1) / static_cast<double>(2 * k));
        return made;
    }();
    return constants;
}

// The recurrence's coefficients for degrees k = m + 1 .. m + nSteps. With s_k = sqrt(k^2 - m^2):
// alpha_k = (2k - 1) / s_k, beta_k = s_(k-1) / s_k, and gamma_k = (k - s_k + (k - 1) - s_(k-1)) / s_k,
// its two differences taken as m^2 / (k + s_k) and m^2 / (k - 1 + s_(k-1)) so that nothing
// cancels. At k = m + 1, beta is 0; for m = 0, gamma is 0 at every step. s_(k-1) is worked out
// afresh at each step (from integers, so to the same bits) to keep the steps independent.
LOBARA_VECTOR_KERNEL
void MakeSteps(double dM, int32_t nSteps, double* __restrict pSteps)
{
    const double dM2 = dM * dM;
    for (int32_t i = 0; i < nSteps; ++i)
    {
        const double dK = dM + 1.0 + static_cast<double>(i);
        const double dS = DegreeRoot(dK, dM);
        const double dPrevS = DegreeRoot(dK - 1.0, dM);
        pSteps[3 * i] = (2.0 * dK - 1.0) / dS;
        pSteps[3 * i + 1] = dPrevS / dS;
        pSteps[3 * i + 2] = dM == 0.0 ? 0.0 : (dM2 / (dK + dS) + dM2 / (dK - 1.0 + dPrevS)) / dS;
    }
}

// A_k = (2k - 1) / s_(k-1) and B_k = s_k / s_(k-1) for k = m + 1 .. m + nSteps, where
// s_k = sqrt(k^2 - m^2) = sqrt(k - m) sqrt(k + m) (A = (2m + 1) / s_(m+1) and B = 1 at k = m + 1),
// as each step's two numbers.
LOBARA_VECTOR_KERNEL
void MakeSumCoefficients(size_t m, int32_t nSteps, const double* __restrict pRoot,
                         const double* __restrict pInverseRoot, double* __restrict pSteps)
{
    if (nSteps == 0)
        return;
    pSteps[0] = pRoot[2 * m + 1];
    pSteps[1] = 1.0;
    for (int32_t i = 1; i < nSteps; ++i)
    {
        // k = m + 1 + i: k - 1 - m = i and k - 1 + m = 2m + i.
        const auto n = static_cast<size_t>(i);
        const double dInverseS = RootOfDegree(pInverseRoot, m, n);
        pSteps[2 * n] = static_cast<double>(2 * (m + n) + 1) * dInverseS;
        pSteps[2 * n + 1] = RootOfDegree(pRoot, m, n + 1) * dInverseS;
    }
}

// The quotients of the steps after the first, A'_k = A_k mu_(k-1) / mu_k, in a pass of their own: they
// wait for no step before, so that they run on vectors, off the chain of products that makes mu.
LOBARA_VECTOR_KERNEL
void ScaleSumCoefficients(int32_t nSteps, double* __restrict pSteps)
{
    for (int32_t i = 1; i < nSteps; ++i)
        pSteps[2 * i] *= pSteps[2 * i - 1] / pSteps[2 * i + 1];
}

// The sums run the recurrence on Q_k = q_k s_k / (s_(m+1) mu_k) (Q_m = q_m), where with
// B_k = s_k / s_(k-1) (1 at k = m + 1), the plain recurrence in that scaling,
// Q_k = A_k x Q_(k-1) - B_(k-1) Q_(k-2) with A_k = (2k - 1) / s_(k-1), loses its second
// coefficient to mu_k = B_(k-1) mu_(k-2) (mu_m = mu_(m+1) = 1):
//   Q_k = A'_k x Q_(k-1) - Q_(k-2),  A'_k = A_k mu_(k-1) / mu_k.
// The steps hold A'_k and mu_k, which ScaleWeights takes as they are, so that the rounding of
// mu_k perturbs no more than one step's coefficients. mu_k lies between 1 and about sqrt(k), and
// A'_k is largest at the first step, sqrt(2m + 1), as in the plain form. Near the poles the
// recurrence loses digits in proportion to l^2, so the sums take it only within the equator's
// band (see kEquatorBand).
void MakeSumSteps(size_t m, int32_t nSteps, const Constants& constants, double* __restrict pSteps)
{
    MakeSumCoefficients(m, nSteps, constants.aRoot.data(), constants.aInverseRoot.data(), pSteps);
    double dMuTwoBelow = 1.0, dMuBelow = 1.0, dBelow = 1.0;  // mu_(k-2), mu_(k-1), B_(k-1)
    for (int32_t i = 0; i < nSteps; ++i)
    {
        double* p = pSteps + 2 * i;
        const double dB = p[1];
        const double dMu = i == 0 ? 1.0 : dBelow * dMuTwoBelow;
        p[1] = dMu;
        dMuTwoBelow = dMuBelow;
        dMuBelow = dMu;
        dBelow = dB;
    }
    ScaleSumCoefficients(nSteps, pSteps);
}

// The paired recurrence runs on R_k = Pbar_j / x for the odd degrees j = m + 2k + 1 (j - m odd),
// functions of y = x^2 alone: from x Pbar_j = e_(j+1) Pbar_(j+1) + e_j Pbar_(j-1) with
// e_j = sqrt((j^2 - m^2) / (4 j^2 - 1)), taken at j and at its even neighbours,
//   e_(j+1) e_(j+2) R_(k+1) = (y - e_(j+1)^2 - e_j^2) R_k - e_j e_(j-1) R_(k-1),
// and each even degree is Pbar_(m+2k) = e_(m+2k+1) R_k + e_(m+2k) R_(k-1), R_0 = sqrt(2m + 3) Pbar_m.
// One step of it gives two degrees, the odd sums are taken times x at the end. On
// r_k = R_k / sqrt(2j + 1), written as MakeSteps has the per-degree one, for its step
// d_k = r_k - r_(k-1) = (alpha_k s + gamma_k) r_(k-1) + beta_k d_(k-1) with y - 1 = s = -sin^2(theta),
// which near the poles keeps its precision, and scaled to Q_k = r_k lambda_k, D_k = d_k lambda_k
// (lambda_0 = lambda_1 = 1, lambda_(k+1) = lambda_k / beta_k), which takes beta_k out as Step has
// it, D_k = (A s + G) Q_(k-1) + D_(k-1), Q_k = B Q_(k-1) + D_k, the step from k to k + 1 is
//   A = (2j + 1) (2j - 1) / V,  G = N / ((2j + 3) V),  B = (2j - 1) W / ((2j + 3) V),
// and at k = 0 (where beta is 0) A = (2j + 1) (2j + 3) / W, G = N / ((2j - 1) W), B = 1, with
//   V = sqrt((j^2 - m^2) ((j - 1)^2 - m^2)),  W = sqrt(((j + 1)^2 - m^2) ((j + 2)^2 - m^2)),
//   N = m^2 (2 (2j + 1) + (2j - 1) ((j + 1)^2 + (j + 2)^2 - m^2) / ((j + 1) (j + 2) + W)
//            + (2j + 3) (j^2 + (j - 1)^2 - m^2) / (j (j - 1) + V)),
// N / ((2j - 1) W) being gamma = alpha (1 - e_(j+1)^2 - e_j^2) - 1 - beta with its differences of
// square roots taken as quotients, so that nothing cancels (it is 0 for m = 0).
LOBARA_VECTOR_KERNEL
void MakePairSteps(size_t m, int32_t nSteps, const double* __restrict pRoot,
                   const double* __restrict pInverseRoot, double* __restrict pSteps)
{
    const auto dM = static_cast<double>(m);
    const double dM2 = dM * dM;
    // V = V_j and W = V_(j+2) of j = m + 2k + 1, and N of them; N's quotients are finite from k = 1 on.
    const auto numerator = [dM2](double j, double dV, double dW) {
        return dM2 * (2.0 * (2.0 * j + 1.0) +
                      (2.0 * j - 1.0) * ((j + 1.0) * (j + 1.0) + (j + 2.0) * (j + 2.0) - dM2) /
                          ((j + 1.0) * (j + 2.0) + dW) +
                      (2.0 * j + 3.0) * (j * j + (j - 1.0) * (j - 1.0) - dM2) / (j * (j - 1.0) + dV));
    };
    if (nSteps == 0)
        return;
    const double dFirst = dM + 1.0;
    const double dW = RootOfPair(pRoot, m, 3);
    pSteps[0] = (2.0 * dFirst + 1.0) * (2.0 * dFirst + 3.0) / dW;
    pSteps[1] = m == 0 ? 0.0 : numerator(dFirst, 0.0, dW) / ((2.0 * dFirst - 1.0) * dW);
    pSteps[2] = 1.0;
    // The steps after the first in one loop without branches, which runs on vectors.
    for (int32_t k = 1; k < nSteps; ++k)
    {
        const auto n = 2 * static_cast<size_t>(k) + 1;  // j - m
        const double j = dM + static_cast<double>(n);
        const double dStepV = RootOfPair(pRoot, m, n), dStepW = RootOfPair(pRoot, m, n + 2);
        const double dInverseV = RootOfPair(pInverseRoot, m, n), dOver = dInverseV / (2.0 * j + 3.0);
        double* p = pSteps + 3 * k;
        p[0] = (2.0 * j + 1.0) * (2.0 * j - 1.0) * dInverseV;
        p[1] = numerator(j, dStepV, dStepW) * dOver;
        p[2] = (2.0 * j - 1.0) * dStepW * dOver;
    }
}

// For k = nBegin .. nEnd - 1 the factors that turn the paired recurrence's Q_k into R_k,
// sqrt(2j + 1) / lambda_k with lambda_k = (2m + 5) V_k / ((2j - 1) V_1) for k >= 1, and e_j and
// e_(j+1), j = m + 2k + 1, the factors of R_k in the even degrees beside it.
struct PairFactors
{
    double dScale, dBelow, dAbove;
};

LOBARA_VECTOR_KERNEL
void MakePairFactors(size_t m, int32_t nBegin, int32_t nEnd, const double* __restrict pRoot,
                     const double* __restrict pInverseRoot, PairFactors* __restrict pFactors)
{
    // e_j with j - m = n: sqrt(j - m) sqrt(j + m) / (sqrt(2j - 1) sqrt(2j + 1)).
    const auto e = [&](size_t n) {
        return RootOfDegree(pRoot, m, n) * (pInverseRoot[2 * (m + n) - 1] * pInverseRoot[2 * (m + n) + 1]);
    };
    if (nBegin >= nEnd)
        return;
    const auto dM = static_cast<double>(m);
    if (nBegin == 0)
        pFactors[0] = {pRoot[2 * m + 3], e(1), e(2)};
    // The factors after the first in one loop without branches, which runs on vectors: 1 / V_j from
    // the inverse roots as in MakePairSteps.
    const double dFirstV = std::sqrt(12.0 * (2.0 * dM + 3.0) * (dM + 1.0)) / (2.0 * dM + 5.0);
    for (int32_t k = std::max(nBegin, 1); k < nEnd; ++k)
    {
        const auto n = 2 * static_cast<size_t>(k) + 1;  // j - m
        const double j = dM + static_cast<double>(n);
        const double dInverseV = RootOfPair(pInverseRoot, m, n);
        pFactors[k - nBegin] = {pRoot[2 * (m + n) + 1] * (2.0 * j - 1.0) * dFirstV * dInverseV, e(n),
                                e(n + 1)};
    }
}

// Each pair of weights of degree k = m + i times Pbar_k / Q_k: sqrt(2m + 1) at k = m, and
// sqrt((2k + 1) (2m + 1) / (k^2 - m^2)) mu_k above, for i below nDegrees, with mu_k from the
// steps of MakeSumSteps: the pair of degree m from pFrom into pFirst, those above it into pAbove
// on from its first pair. Each pair is read before it is written, so the three may overlap as
// one array does in place.
LOBARA_VECTOR_KERNEL
void ScaleWeights(size_t m, int32_t nDegrees, const double* __restrict pSteps, const double* __restrict pRoot,
                  const double* __restrict pInverseRoot, const double* pFrom, double* pFirst, double* pAbove)
{
    if (nDegrees == 0)
        return;
    const double dFirstRoot = pRoot[2 * m + 1];
    pFirst[0] = pFrom[0] * dFirstRoot;
    pFirst[1] = pFrom[1] * dFirstRoot;
    for (int32_t i = 1; i < nDegrees; ++i)
    {
        // k = m + i: sqrt(2k + 1) sqrt(2m + 1) / (sqrt(k - m) sqrt(k + m)).
        const auto n = static_cast<size_t>(i);
        const double dRoot = pRoot[2 * (m + n) + 1] * dFirstRoot * RootOfDegree(pInverseRoot, m, n);
        const double dScale = dRoot * pSteps[2 * (n - 1) + 1];
        pAbove[2 * (n - 1)] = pFrom[2 * n] * dScale;
        pAbove[2 * (n - 1) + 1] = pFrom[2 * n + 1] * dScale;
    }
}

// The steps' a and b from nu, in a pass of their own that runs on vectors (see ScaleSumCoefficients).
LOBARA_VECTOR_KERNEL
void MakePlainCoefficients(const double* __restrict pPairSteps, size_t nSteps,
                           const double* __restrict pScale, double* __restrict pSteps)
{
    for (size_t k = 1; k <= nSteps; ++k)
    {
        const double* p = pPairSteps + NormalizedLegendre::kPairStepSize * (k - 1);
        const double dRatio = pScale[k - 1] / pScale[k];
        pSteps[2 * (k - 1)] = p[0] * dRatio;
        pSteps[2 * (k - 1) + 1] = ((k == 1 ? p[2] : p[2] + 1.0) + p[1]) * dRatio;
    }
}

// The plain form of the paired recurrence from its difference form's steps (MakePairSteps):
// eliminating D_k, Q_k = (B_k + 1 + G_k + A_k s) Q_(k-1) - B_(k-1) Q_(k-2) (at k = 1, where D_0 = 0,
// without the 1), and on P_k = Q_k / nu_k with nu_0 = nu_1 = 1, nu_k = nu_(k-2) B_(k-1),
// P_k = (a_k s + b_k) P_(k-1) - P_(k-2), a_k = A_k nu_(k-1) / nu_k, b_k = (B_k + 1 + G_k) nu_(k-1) / nu_k.
// B_k + 1 + G_k rounds away G's last digits, which near the poles, where it sits on 2, is what the
// difference form keeps (see kPoleBand). The steps' a, b into pSteps, nu_0 .. nu_nSteps into pScale.
void MakePlainSteps(const double* __restrict pPairSteps, size_t nSteps, double* __restrict pSteps,
                    double* __restrict pScale)
{
    pScale[0] = 1.0;
    for (size_t k = 1; k <= nSteps; ++k)
    {
        // B_(k-1), the third of the step before's values.
        pScale[k] =
            k == 1 ? 1.0 : pScale[k - 2] * pPairSteps[NormalizedLegendre::kPairStepSize * (k - 2) + 2];
    }
    MakePlainCoefficients(pPairSteps, nSteps, pScale, pSteps);
}

}  // namespace

LOBARA_KERNEL_TABLES(LegendreKernels, kLegendreKernels, LegendreKernelsFor)

const LegendreKernels& ActiveLegendreKernels()
{
    return LegendreKernelsFor(ActiveKernelPath());
}

NormalizedLegendre::NormalizedLegendre(int32_t l, int32_t m)
{
    Remake(l, m);
}

void NormalizedLegendre::Remake(int32_t l, int32_t m)
{
    RemakeDegrees(l, m);
    MakePairTables();
}

void NormalizedLegendre::Remake(int32_t l, int32_t m, const double* pT, const double* pU, int32_t nCount)
{
    RemakeDegrees(l, m);
    if (PointsAbove(kEquatorBand, pT, nCount) > NegligiblePoints(pU, nCount))
        MakePairTables();
}

void NormalizedLegendre::RemakeDegrees(int32_t l, int32_t m)
{
    const int64_t nDegree = l;
    m_nOrder = std::llabs(int64_t{m});
    m_bPairs = false;
    m_bOddUnderReflection = false;
    m_dStart = m_dFinish = m_dPairStart = 0.0;
    m_aSteps.clear();
    m_aPairSteps.clear();
    m_aPlainSteps.clear();
    m_aPlainScale.clear();
    if (nDegree < m_nOrder)
        return;
    CheckDegree(nDegree);
    m_bOddUnderReflection = (nDegree - m_nOrder) % 2 != 0;

    // q_mm = u^m sqrt(prod_(k=1..m) (2k - 1) / (2k)) / sqrt(4 pi).
    const Constants& constants = RecurrenceConstants();
    const auto nOrder = static_cast<size_t>(m_nOrder);
    m_dStart = std::sqrt(constants.aStartProduct[nOrder]) / std::sqrt(kFourPi);
    m_dFinish = std::sqrt(static_cast<double>(2 * nDegree + 1));

    const size_t nSteps = static_cast<size_t>(nDegree - m_nOrder);
    m_aSteps.resize(kDegreeStepSize * nSteps);
    MakeSumSteps(nOrder, static_cast<int32_t>(nSteps), constants, m_aSteps.data());
}

void NormalizedLegendre::MakePairTables()
{
    m_bPairs = true;
    if (m_dStart == 0.0)
        return;
    const Constants& constants = RecurrenceConstants();
    const auto nOrder = static_cast<size_t>(m_nOrder);
    const size_t nSteps = m_aSteps.size() / kDegreeStepSize;
    // R_0 = sqrt(2m + 3) Pbar_m, and r_0 = R_0 / sqrt(2m + 3).
    m_dPairStart = m_dStart * std::sqrt(static_cast<double>(2 * m_nOrder + 1));
    m_aPairSteps.resize(kPairStepSize * (nSteps / 2));
    MakePairSteps(nOrder, static_cast<int32_t>(nSteps / 2), constants.aRoot.data(),
                  constants.aInverseRoot.data(), m_aPairSteps.data());
    m_aPlainSteps.resize(kPlainStepSize * (nSteps / 2));
    m_aPlainScale.resize(nSteps / 2 + 1);
    MakePlainSteps(m_aPairSteps.data(), nSteps / 2, m_aPlainSteps.data(), m_aPlainScale.data());
}

void NormalizedLegendre::CheckPairTables(int32_t nNegligible, int32_t nEquatorEnd) const
{
    if (!m_bPairs && nEquatorEnd > nNegligible)
        throw std::logic_error("the Legendre sums were prepared for other points");
}

void NormalizedLegendre::Evaluate(const double* pX, const double* pU, int32_t nCount, double* pValue) const
{
    // The plain steps, kept for the values alone: the sums' scaled ones round differently.
    const size_t nSteps = m_aSteps.size() / kDegreeStepSize;
    std::vector<double> aSteps(3 * nSteps);
    MakeSteps(static_cast<double>(m_nOrder), static_cast<int32_t>(nSteps), aSteps.data());
    for (int32_t i = 0; i < nCount; i += kLanes)
        EvaluateLanes(aSteps.data(), pX + i, pU + i, std::min(kLanes, nCount - i), pValue + i);
}

void NormalizedLegendre::EvaluateLanes(const double* pSteps, const double* pX, const double* pU,
                                       int32_t nCount, double* pValue) const
{
    if (m_dStart == 0.0)
    {
        std::fill(pValue, pValue + nCount, 0.0);
        return;
    }

    // Lanes past nCount run on a harmless point and are dropped.
    double t[kLanes];  // |x| - 1, exact for |x| >= 0.5, where it matters
    double q[kLanes];  // q_(k-1), scaled by 2^(-kChunkBits * nChunks)
    double d[kLanes];  // d_(k-1), scaled alike
    int64_t nChunks[kLanes];
    double u[kLanes];
    for (int b = 0; b < kLanes; ++b)
    {
        const bool bUsed = b < nCount;
        t[b] = bUsed ? std::fabs(pX[b]) - 1.0 : -1.0;
        u[b] = bUsed ? pU[b] : 1.0;
        d[b] = 0.0;
    }
    ActiveLegendreKernels().startValues(u, m_nOrder, m_dStart, q, nChunks);

    const size_t nSteps = m_aSteps.size() / kDegreeStepSize;
    for (size_t k = 0; k < nSteps; k += kStepsPerCheck)
    {
        RunSteps(pSteps + 3 * k, std::min<size_t>(kStepsPerCheck, nSteps - k), t, q, d);
        // Values in range never reach 2^kChunkBits, so only scaled lanes are rescaled.
        for (int b = 0; b < kLanes; ++b)
        {
            if (std::fabs(q[b]) >= kChunk)
            {
                q[b] *= kInverseChunk;
                d[b] *= kInverseChunk;
                ++nChunks[b];
            }
        }
    }

    for (int b = 0; b < nCount; ++b)
    {
        // Three chunks down is beyond any double, however large q.
        const double dValue =
            nChunks[b] < -2 ? 0.0 : std::ldexp(q[b] * m_dFinish, static_cast<int>(nChunks[b] * kChunkBits));
        const bool bNegate = pX[b] < 0.0 && m_bOddUnderReflection;
        pValue[b] = bNegate ? -dValue : dValue;
    }
}

void NormalizedLegendre::PrepareWeights(const double* pWeights, SumWeights& aReady) const
{
    // Four weights for each Q of each recurrence (see SumVectorSteps), scaled to it: the
    // per-degree one's (MakeSumSteps), then the paired one's (MakePairSteps), whose R_k takes the
    // even degrees beside it and the odd one above. Every one is written once, nothing cleared first.
    const size_t nDegrees = DegreeCount(), nPairs = PairCount();
    const auto weight = [&](size_t nDegree, size_t nPart) {
        return nDegree < nDegrees ? pWeights[2 * nDegree + nPart] : 0.0;
    };
    const Constants& constants = RecurrenceConstants();
    const auto m = static_cast<size_t>(m_nOrder);
    aReady.resize(SumWeightCount());
    // Degree |m| leads, its pair in the even sums (the odd ones' pair 0); then the odd and the
    // even degree of each step, which are the degrees from |m| + 1 on, in turn, and a last step's
    // missing even degree 0.
    if (nDegrees > 0)
    {
        ScaleWeights(m, static_cast<int32_t>(nDegrees), m_aSteps.data(), constants.aRoot.data(),
                     constants.aInverseRoot.data(), pWeights, aReady.data(), aReady.data() + 4);
        aReady[2] = aReady[3] = 0.0;
        std::fill(aReady.begin() + static_cast<std::ptrdiff_t>(2 * nDegrees + 2),
                  aReady.begin() + static_cast<std::ptrdiff_t>(DegreeWeightCount()), 0.0);
    }
    // The pairs' factors a stretch at a time, so that nothing is allocated.
    constexpr size_t kStretch = 128;
    PairFactors aFactors[kStretch];
    double* pPairs = aReady.data() + DegreeWeightCount();
    double* pPlain = pPairs + 4 * nPairs;
    for (size_t nFirst = 0; nFirst < nPairs; nFirst += kStretch)
    {
        const size_t nEnd = std::min(nPairs, nFirst + kStretch);
        MakePairFactors(m, static_cast<int32_t>(nFirst), static_cast<int32_t>(nEnd), constants.aRoot.data(),
                        constants.aInverseRoot.data(), aFactors);
        for (size_t k = nFirst; k < nEnd; ++k)
        {
            const PairFactors& f = aFactors[k - nFirst];
            for (size_t nPart = 0; nPart < 2; ++nPart)
            {
                pPairs[4 * k + nPart] =
                    f.dScale * (f.dBelow * weight(2 * k, nPart) + f.dAbove * weight(2 * k + 2, nPart));
                pPairs[4 * k + 2 + nPart] = f.dScale * weight(2 * k + 1, nPart);
            }
            // The plain paired recurrence's: the paired one's times nu_k.
            for (size_t nPart = 0; nPart < 4; ++nPart)
                pPlain[4 * k + nPart] = pPairs[4 * k + nPart] * m_aPlainScale[k];
        }
    }
}

int32_t NormalizedLegendre::PointsAbove(double dX, const double* pT, int32_t nCount)
{
    int32_t n = 0;
    while (n < nCount && 1.0 + pT[n] >= dX)
        ++n;
    return n;
}

LegendreTables NormalizedLegendre::Tables() const
{
    return LegendreTables{m_nOrder,
                          m_dStart,
                          m_dPairStart,
                          m_aSteps.data(),
                          m_aSteps.size() / kDegreeStepSize,
                          m_aPairSteps.data(),
                          m_aPairSteps.size() / kPairStepSize,
                          m_aPlainSteps.data()};
}

int32_t NormalizedLegendre::NegligiblePoints(const double* pU, int32_t nCount) const
{
    if (m_dStart == 0.0 || m_nOrder == 0)
        return 0;
    const double l = static_cast<double>(m_nOrder + static_cast<int64_t>(m_aSteps.size() / kDegreeStepSize));
    const double dLimit = (static_cast<double>(m_nOrder) - kNegligibleMargin * std::cbrt(l)) / l;
    int32_t n = 0;
    while (n < nCount && pU[n] < dLimit)
        ++n;
    return n;
}

int32_t NormalizedLegendre::EvaluateSums(const double* pT, const double* pU, int32_t nCount,
                                         const SumWeights& aWeights, double* pSums) const
{
    if (m_dStart == 0.0)
    {
        std::fill(pSums, pSums + 4 * nCount, 0.0);
        return 0;
    }
    // The runs of points on each recurrence, from the pole: the points below kPoleBand's x and
    // then below kEquatorBand's end each run before them.
    const int32_t nNegligible = NegligiblePoints(pU, nCount);
    std::fill(pSums, pSums + 4 * nNegligible, 0.0);
    const int32_t aEnd[3] = {std::max(nNegligible, PointsAbove(kPoleBand, pT, nCount)),
                             std::max(nNegligible, PointsAbove(kEquatorBand, pT, nCount)), nCount};
    CheckPairTables(nNegligible, aEnd[1]);
    const LegendreKernels& kernels = ActiveLegendreKernels();
    const LegendreTables tables = Tables();
    const double* aWeights3[3] = {aWeights.data() + DegreeWeightCount(),
                                  aWeights.data() + DegreeWeightCount() + 4 * PairCount(), aWeights.data()};
    int32_t nVanished = nNegligible, nBegin = nNegligible;
    for (size_t r = 0; r < 3; ++r)
    {
        const int32_t nRunVanished = kernels.sumRows(tables, kRecurrences[r], pT + nBegin, pU + nBegin,
                                                     aEnd[r] - nBegin, aWeights3[r], pSums + 4 * nBegin);
        if (nVanished == nBegin)
            nVanished += nRunVanished;
        nBegin = aEnd[r];
    }
    return nVanished;
}

size_t NormalizedLegendre::FoldedSize() const
{
    return static_cast<size_t>(ActiveLegendreKernels().nLanes) * SumWeightCount();
}

int32_t NormalizedLegendre::AdjointSums(const double* pT, const double* pU, int32_t nCount,
                                        const double* pValues, Folded& aFolded,
                                        std::vector<double>& aSums) const
{
    aFolded.resize(FoldedSize());
    bool abRun[3] = {};
    const int32_t nVanished = AccumulateSums(pT, pU, nCount, pValues, aFolded.data(), abRun);
    FinishSums(aFolded.data(), abRun, aSums);
    return nVanished;
}

int32_t NormalizedLegendre::AccumulateSums(const double* pT, const double* pU, int32_t nCount,
                                           const double* pValues, double* pFolded, bool (&abRun)[3]) const
{
    if (m_dStart == 0.0)
        return 0;
    const LegendreKernels& kernels = ActiveLegendreKernels();
    const LegendreTables tables = Tables();
    const int32_t nLanes = kernels.nLanes, nNegligible = NegligiblePoints(pU, nCount);
    // Each recurrence's points from nBegin to nEnd, from the start of the vector of the first that is
    // not negligible, so that every point falls to the partial sums of its place in the whole vectors
    // from the first point, whichever points before it are left out; those before it add 0. Returns
    // the end of the leading points that vanished.
    const auto run = [&](LegendreRecurrence recurrence, int32_t nBegin, int32_t nEnd, double* pRunFolded,
                         bool& bRun) {
        const int32_t nLive = std::max(nBegin, nNegligible);
        if (nLive >= nEnd)
            return nEnd;
        bRun = true;
        const int32_t nStart = nLive - nLive % nLanes;
        return nStart + kernels.accumulateRows(tables, recurrence, pT + nStart, pU + nStart, nEnd - nStart,
                                               nLive - nStart, pValues + 4 * nStart, pRunFolded);
    };
    const auto nFold = static_cast<size_t>(nLanes);
    const int32_t aEnd[3] = {PointsAbove(kPoleBand, pT, nCount), PointsAbove(kEquatorBand, pT, nCount),
                             nCount};
    CheckPairTables(nNegligible, aEnd[1]);
    double* aFolded[3] = {pFolded + nFold * DegreeWeightCount(),
                          pFolded + nFold * (DegreeWeightCount() + 4 * PairCount()), pFolded};
    int32_t nVanished = 0, nBegin = 0;
    for (size_t r = 0; r < 3; ++r)
    {
        const int32_t nRunVanished = run(kRecurrences[r], nBegin, aEnd[r], aFolded[r], abRun[r]);
        if (nVanished == nBegin)
            nVanished = nRunVanished;
        nBegin = aEnd[r];
    }
    return nVanished;
}

void NormalizedLegendre::FinishSums(const double* pFolded, const bool (&abRun)[3],
                                    std::vector<double>& aSums) const
{
    // Each part's partial sums added: four parts for each Q, as its weights in EvaluateSums; 0 for
    // a recurrence no point took, whose partial sums were never written.
    const auto nFold = static_cast<size_t>(ActiveLegendreKernels().nLanes);
    const auto sum = [&](const double* pStepFolded, size_t nSlot) {
        double dSum = 0.0;
        for (size_t f = 0; f < nFold; ++f)
            dSum += pStepFolded[nFold * nSlot + f];
        return dSum;
    };
    const auto part = [&](size_t r, const double* pStepFolded, size_t nSlot) {
        return abRun[r] ? sum(pStepFolded, nSlot) : 0.0;
    };
    // The per-degree recurrence's, laid out as its weights (see PrepareWeights): degree |m|, the first
    // Q's odd pair, which is 0, then the degrees from |m| + 1 on; scaled back from their Q_k.
    const Constants& constants = RecurrenceConstants();
    const auto m = static_cast<size_t>(m_nOrder);
    const size_t nDegrees = DegreeCount();
    aSums.resize(2 * nDegrees);
    for (size_t i = 0; i < 2 * nDegrees; ++i)
        aSums[i] = part(2, pFolded, i < 2 ? i : i + 2);
    ScaleWeights(m, static_cast<int32_t>(nDegrees), m_aSteps.data(), constants.aRoot.data(),
                 constants.aInverseRoot.data(), aSums.data(), aSums.data(), aSums.data() + 2);

    // The paired recurrences', by R_k (the plain one's on R_k / nu_k), into the degrees around it.
    const size_t nPairs = PairCount();
    const double* pPairFolded = pFolded + nFold * DegreeWeightCount();
    const double* pPlainFolded = pPairFolded + nFold * 4 * nPairs;
    const auto pairPart = [&](size_t k, size_t nSlot) {
        return part(0, pPairFolded, 4 * k + nSlot) + m_aPlainScale[k] * part(1, pPlainFolded, 4 * k + nSlot);
    };
    if (!abRun[0] && !abRun[1])
        return;
    std::vector<PairFactors, UninitializedAllocator<PairFactors>> aFactors(nPairs);
    MakePairFactors(m, 0, static_cast<int32_t>(nPairs), constants.aRoot.data(), constants.aInverseRoot.data(),
                    aFactors.data());
    for (size_t k = 0; k < nPairs; ++k)
    {
        const PairFactors& f = aFactors[k];
        for (size_t nPart = 0; nPart < 2; ++nPart)
        {
            const double dEven = f.dScale * pairPart(k, nPart);
            const double dOdd = f.dScale * pairPart(k, 2 + nPart);
            aSums[2 * (2 * k) + nPart] += f.dBelow * dEven;
            if (2 * k + 2 < nDegrees)
                aSums[2 * (2 * k + 2) + nPart] += f.dAbove * dEven;
            if (2 * k + 1 < nDegrees)
                aSums[2 * (2 * k + 1) + nPart] += dOdd;
        }
    }
}
