#include "sht/point_analysis.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <numeric>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "infra/thread_sharing.h"
#include "sht/angles.h"
#include "sht/build_limits.h"
#include "sht/normalized_legendre.h"
#include "sht/own_coefficients.h"

namespace {

// The iteration stops when the gradient of the squares, A^T r, has fallen by this much, or after
// so many steps.
constexpr double kTolerance = 1e-13;
constexpr int32_t kMaxIterations = 1000;
// A condition number above which a warning is due: the values' noise is amplified that much.
constexpr double kIllConditioned = 1e4;
// Distinct points to each coefficient in a default fit: random points spread evenly are measured to
// give least squares of condition about 10 at 2 (15 at 400 points, 13 at 1000), against 1e4 to
// 1e6 at 1 (as many points as coefficients).
constexpr double kPointsPerCoefficient = 2.0;
// The memory of a fit: for each coefficient, the iteration's vectors (solution, gradient,
// direction, the probe's two, the synthesis's weights) and the recurrence's tables; for each
// point, its place and values, and each thread's lanes of the adjoint.
constexpr double kBytesPerCoefficient = 8 * sizeof(double) + 64;
constexpr double kBytesPerPoint = 12 * sizeof(double);
// Points summed together by one thread in the synthesis.
constexpr size_t kPointsPerBlock = 256;

// The weighted synthesis at the points, y = W^(1/2) A x for coefficients x in the own convention
// (OwnIndex order), and its adjoint x = A^T W^(1/2) y: Y(l, 0) = Pbar, Y(l, m) = sqrt(2) Pbar
// cos(m phi), Y(l, -m) = -sqrt(2) Pbar sin(m phi). Both use the same values of every Pbar and
// trigonometric function, so that the adjoint is the transpose to rounding.
class CPointSystem
{
public:
    CPointSystem(const std::vector<SamplePoint>& aPoints, int32_t nMaxDegree, unsigned nThreads);

    void Apply(const std::vector<double>& aCoefficients, std::vector<double>& aValues) const;
    void ApplyAdjoint(const std::vector<double>& aValues, std::vector<double>& aCoefficients) const;

private:
    int32_t m_nMaxDegree;
    unsigned m_nThreads;
    // Each point as the northern point of its |cos theta| (t, u), the sign of odd degrees there,
    // phi and the root of its weight, from the poles towards the equator as the recurrences take
    // them; m_aIndex[p] is the place of point p among those given.
    std::vector<double> m_aT, m_aU, m_aSign, m_aPhi, m_aRoot;
    std::vector<size_t> m_aIndex;
    std::vector<NormalizedLegendre> m_aLegendre;  // by order
};

CPointSystem::CPointSystem(const std::vector<SamplePoint>& aPoints, int32_t nMaxDegree, unsigned nThreads)
    : m_nMaxDegree(nMaxDegree), m_nThreads(nThreads)
{
    // Nearest the pole first: the polar angle of the northern point, min(theta, pi - theta), a
    // theta that is not a number last, so that the order is one.
    m_aIndex.resize(aPoints.size());
    std::iota(m_aIndex.begin(), m_aIndex.end(), size_t{0});
    const auto polar = [&](size_t i) {
        const double dTheta = aPoints[i].dTheta;
        return std::isnan(dTheta) ? std::numeric_limits<double>::infinity() : std::min(dTheta, kPi - dTheta);
    };
    std::stable_sort(m_aIndex.begin(), m_aIndex.end(),
                     [&](size_t a, size_t b) { return polar(a) < polar(b); });
    for (const size_t i : m_aIndex)
    {
        const SamplePoint& point = aPoints[i];
        const bool bSouth = point.dTheta > 0.5 * kPi;
        m_aT.push_back(CosineLessOne(bSouth ? kPi - point.dTheta : point.dTheta));
        m_aU.push_back(std::fabs(std::sin(point.dTheta)));
        m_aSign.push_back(bSouth ? -1.0 : 1.0);
        m_aPhi.push_back(point.dPhi);
        m_aRoot.push_back(std::sqrt(point.dWeight));
    }
    for (int32_t m = 0; m <= nMaxDegree; ++m)
        m_aLegendre.emplace_back(nMaxDegree, m);
}

void CPointSystem::Apply(const std::vector<double>& aCoefficients, std::vector<double>& aValues) const
{
    const int32_t L = m_nMaxDegree;
    // Each order's weights of Pbar in cos(m phi) and sin(m phi), made ready for the recurrence.
    std::vector<NormalizedLegendre::SumWeights> aWeights(static_cast<size_t>(L) + 1);
    std::vector<double> aPairs;
    for (int32_t m = 0; m <= L; ++m)
    {
        aPairs.resize(2 * static_cast<size_t>(L - m + 1));
        for (int32_t l = m; l <= L; ++l)
        {
            double* pPair = &aPairs[2 * static_cast<size_t>(l - m)];
            pPair[0] = (m == 0 ? 1.0 : std::sqrt(2.0)) * aCoefficients[OwnIndex(l, m)];
            pPair[1] = m == 0 ? 0.0 : -std::sqrt(2.0) * aCoefficients[OwnIndex(l, -m)];
        }
        aWeights[static_cast<size_t>(m)] = m_aLegendre[static_cast<size_t>(m)].PrepareWeights(aPairs.data());
    }
    const size_t nPoints = m_aT.size();
    aValues.assign(nPoints, 0.0);
    const size_t nBlocks = (nPoints + kPointsPerBlock - 1) / kPointsPerBlock;
    ShareAmongThreads(nBlocks, m_nThreads, [&](size_t nBlock, unsigned) {
        const size_t nFirst = nBlock * kPointsPerBlock, nCount = std::min(kPointsPerBlock, nPoints - nFirst);
        std::vector<double> aSums(4 * nCount), aBlock(nCount, 0.0);
        for (int32_t m = 0; m <= L; ++m)
        {
            m_aLegendre[static_cast<size_t>(m)].EvaluateSums(&m_aT[nFirst], &m_aU[nFirst],
                                                             static_cast<int32_t>(nCount),
                                                             aWeights[static_cast<size_t>(m)], aSums.data());
            for (size_t b = 0; b < nCount; ++b)
            {
                const size_t p = nFirst + b;
                const double* s = &aSums[4 * b];
                const double dAngle = static_cast<double>(m) * m_aPhi[p];
                aBlock[b] += (s[0] + m_aSign[p] * s[1]) * std::cos(dAngle) +
                             (s[2] + m_aSign[p] * s[3]) * std::sin(dAngle);
            }
        }
        for (size_t b = 0; b < nCount; ++b)
            aValues[m_aIndex[nFirst + b]] = m_aRoot[nFirst + b] * aBlock[b];
    });
}

void CPointSystem::ApplyAdjoint(const std::vector<double>& aValues, std::vector<double>& aCoefficients) const
{
    const int32_t L = m_nMaxDegree;
    const size_t nPoints = m_aT.size();
    aCoefficients.assign(OwnCount(L), 0.0);
    ShareAmongThreads(static_cast<size_t>(L) + 1, m_nThreads, [&](size_t nOrder, unsigned) {
        const auto m = static_cast<int32_t>(nOrder);
        const NormalizedLegendre& legendre = m_aLegendre[nOrder];
        std::vector<double> aLanes(4 * nPoints), aSums;
        NormalizedLegendre::Folded aFolded;
        for (size_t p = 0; p < nPoints; ++p)
        {
            const double dAngle = static_cast<double>(m) * m_aPhi[p];
            const double dValue = aValues[m_aIndex[p]];
            const double c = m_aRoot[p] * dValue * std::cos(dAngle);
            const double s = m_aRoot[p] * dValue * std::sin(dAngle);
            double* v = &aLanes[4 * p];
            v[0] = c;
            v[1] = m_aSign[p] * c;
            v[2] = s;
            v[3] = m_aSign[p] * s;
        }
        legendre.AdjointSums(m_aT.data(), m_aU.data(), static_cast<int32_t>(nPoints), aLanes.data(), aFolded,
                             aSums);
        for (int32_t l = m; l <= L; ++l)
        {
            const double* pPair = &aSums[2 * static_cast<size_t>(l - m)];
            aCoefficients[OwnIndex(l, m)] = (m == 0 ? 1.0 : std::sqrt(2.0)) * pPair[0];
            if (m > 0)
                aCoefficients[OwnIndex(l, -m)] = -std::sqrt(2.0) * pPair[1];
        }
    });
}

double SquaredNorm(const std::vector<double>& a)
{
    return std::inner_product(a.begin(), a.end(), a.begin(), 0.0);
}

// The eigenvalues of a symmetric tridiagonal matrix below x, by the signs of its Sturm sequence.
size_t CountBelow(const std::vector<double>& aDiagonal, const std::vector<double>& aOff, double x)
{
    size_t nCount = 0;
    double d = 1.0;
    for (size_t i = 0; i < aDiagonal.size(); ++i)
    {
        const double dOff = i == 0 ? 0.0 : aOff[i - 1];
        d = aDiagonal[i] - x - (i == 0 ? 0.0 : dOff * dOff / d);
        if (d == 0.0)
            d = -1e-300;
        nCount += d < 0.0 ? 1 : 0;
    }
    return nCount;
}

// The k-th smallest eigenvalue (k from 0) by bisection in [0, dUpper].
double Eigenvalue(const std::vector<double>& aDiagonal, const std::vector<double>& aOff, size_t k,
                  double dUpper)
{
    double dLow = 0.0, dHigh = dUpper;
    for (int i = 0; i < 200 && dHigh - dLow > 1e-15 * dHigh; ++i)
    {
        const double dMiddle = 0.5 * (dLow + dHigh);
        (CountBelow(aDiagonal, aOff, dMiddle) > k ? dHigh : dLow) = dMiddle;
    }
    return 0.5 * (dLow + dHigh);
}

// The condition number of A from the Lanczos matrix of conjugate gradients on A^T A: its diagonal
// 1 / alpha_k + beta_(k-1) / alpha_(k-1) and off-diagonal sqrt(beta_k) / alpha_k; the square root of
// the ratio of its extreme eigenvalues, which approach those of A^T A from within.
double ConditionEstimate(const std::vector<double>& aAlpha, const std::vector<double>& aBeta)
{
    if (aAlpha.empty())
        return 1.0;
    std::vector<double> aDiagonal, aOff;
    for (size_t k = 0; k < aAlpha.size(); ++k)
    {
        aDiagonal.push_back(1.0 / aAlpha[k] + (k == 0 ? 0.0 : aBeta[k - 1] / aAlpha[k - 1]));
        if (k + 1 < aAlpha.size())
            aOff.push_back(std::sqrt(aBeta[k]) / aAlpha[k]);
    }
    double dUpper = 0.0;  // Gershgorin
    for (size_t k = 0; k < aDiagonal.size(); ++k)
        dUpper = std::max(dUpper, aDiagonal[k] + (k == 0 ? 0.0 : std::fabs(aOff[k - 1])) +
                                      (k < aOff.size() ? std::fabs(aOff[k]) : 0.0));
    const double dLargest = Eigenvalue(aDiagonal, aOff, aDiagonal.size() - 1, dUpper);
    const double dSmallest = Eigenvalue(aDiagonal, aOff, 0, dUpper);
    return dSmallest > 0.0 ? std::sqrt(dLargest / dSmallest) : HUGE_VAL;
}

// The largest condition number the probe goes on to: beyond it the fit is undetermined whatever
// more steps would find. Below it, the probe stops when its residual has fallen by
// kProbeTolerance: by then every eigenvalue that matters to it has a Ritz value near it (a
// residual cannot fall that far with a part left along a small eigenvalue's direction).
constexpr double kProbeLimit = 1e8;
constexpr double kProbeTolerance = 1e-6;

// The condition number of A as seen from every direction of the coefficients: conjugate gradients
// on A^T A y = z from a fixed pseudo-random z, which has a part in every direction, the null space
// of A included. The fit's own iteration starts from A^T b and never leaves the range of A^T, so
// its estimate cannot see the directions that the points leave undetermined (all the points on a
// ring, or a few places repeated). The Ritz values lie within the spectrum and move out towards
// its ends, so the estimate only grows: the probe stops once it is over kProbeLimit.
double ProbeCondition(const CPointSystem& system, size_t nCoefficients)
{
    std::vector<double> r(nCoefficients), t, q;
    uint64_t nState = 0x9E3779B97F4A7C15u;
    for (double& d : r)
    {
        // splitmix64, to a number in [-1, 1)
        uint64_t z = (nState += 0x9E3779B97F4A7C15u);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
        d = static_cast<double>((z ^ (z >> 31)) >> 11) * 0x1p-52 - 1.0;
    }
    std::vector<double> p = r, aAlpha, aBeta;
    double dRho = SquaredNorm(r);
    const double dStop = kProbeTolerance * kProbeTolerance * dRho;
    for (int32_t k = 0; dRho > dStop && k < kMaxIterations; ++k)
    {
        system.Apply(p, t);
        system.ApplyAdjoint(t, q);
        const double dCurvature = std::inner_product(p.begin(), p.end(), q.begin(), 0.0);
        if (!(dCurvature > 0.0))
            return HUGE_VAL;  // p in the null space to rounding
        const double dAlpha = dRho / dCurvature;
        for (size_t i = 0; i < r.size(); ++i)
            r[i] -= dAlpha * q[i];
        const double dNext = SquaredNorm(r), dBeta = dNext / dRho;
        for (size_t i = 0; i < p.size(); ++i)
            p[i] = r[i] + dBeta * p[i];
        aAlpha.push_back(dAlpha);
        aBeta.push_back(dBeta);
        dRho = dNext;
        if (aAlpha.size() % 8 == 0 && ConditionEstimate(aAlpha, aBeta) > kProbeLimit)
            break;
    }
    return ConditionEstimate(aAlpha, aBeta);
}

// Powers of two that bring the largest weight and the largest |value| into [1/2, 1): exact
// scalings, so that the fit of values or weights scaled by any factor is the same field (to the
// rounding of the factor), and no square in the iteration overflows or underflows.
struct PointScales
{
    int nWeight = 0, nValue = 0;
};

PointScales ScalesOf(const std::vector<SamplePoint>& aPoints)
{
    double dWeight = 0.0, dValue = 0.0;
    for (const SamplePoint& point : aPoints)
    {
        dWeight = std::max(dWeight, point.dWeight);
        dValue = std::max(dValue, std::fabs(point.dValue));
    }
    PointScales scales;
    std::frexp(dWeight, &scales.nWeight);
    std::frexp(dValue, &scales.nValue);
    return scales;
}

void CheckPoints(const std::vector<SamplePoint>& aPoints)
{
    for (size_t k = 0; k < aPoints.size(); ++k)
    {
        const SamplePoint& point = aPoints[k];
        if (!(point.dTheta >= 0.0 && point.dTheta <= kPi) || !std::isfinite(point.dPhi) ||
            !std::isfinite(point.dValue) || !(point.dWeight > 0.0 && std::isfinite(point.dWeight)))
            throw std::invalid_argument("point " + std::to_string(k) +
                                        " needs theta in [0, pi], a finite phi and value and a finite "
                                        "weight above 0");
    }
}

// The points with their weights scaled by 2^-nWeight.
std::vector<SamplePoint> ScaledPoints(const std::vector<SamplePoint>& aPoints, const PointScales& scales)
{
    std::vector<SamplePoint> aScaled = aPoints;
    for (SamplePoint& point : aScaled)
        point.dWeight = std::ldexp(point.dWeight, -scales.nWeight);
    return aScaled;
}

}  // namespace

size_t CountDistinctPoints(const std::vector<SamplePoint>& aPoints)
{
    // Each place as (theta, phi in [0, 2 pi)), every phi at a pole the same.
    std::vector<std::pair<double, double>> aPlaces;
    aPlaces.reserve(aPoints.size());
    for (const SamplePoint& point : aPoints)
    {
        double dPhi = std::fmod(point.dPhi, 2.0 * kPi);
        if (dPhi < 0.0)
            dPhi += 2.0 * kPi;
        if (dPhi >= 2.0 * kPi || point.dTheta == 0.0 || point.dTheta == kPi)
            dPhi = 0.0;  // a phi just below 0 rounds up to 2 pi
        aPlaces.emplace_back(point.dTheta, dPhi);
    }
    std::sort(aPlaces.begin(), aPlaces.end());
    return static_cast<size_t>(std::unique(aPlaces.begin(), aPlaces.end()) - aPlaces.begin());
}

void CheckPointFitMemory(size_t nPoints, int32_t nMaxDegree, unsigned nThreads)
{
    const double dCoefficients = static_cast<double>(OwnCount(nMaxDegree));
    const double dBytes = kBytesPerCoefficient * dCoefficients +
                          kBytesPerPoint * static_cast<double>(nPoints) * (1.0 + ThreadsFor(nThreads));
    CheckWorkMemory(
        dBytes, "the fit of " + std::to_string(nPoints) + " points to degree " + std::to_string(nMaxDegree));
}

std::string UndeterminedFitProblem(const PointAnalysis& analysis, int32_t nDegree)
{
    const auto scientific = [](double d) {
        char acText[32];
        std::snprintf(acText, sizeof acText, "%.2g", d);
        return std::string(acText);
    };
    const std::string strCannot = "the points cannot determine degree " + std::to_string(nDegree) + ": ";
    const std::string strCondition = std::isinf(analysis.dCondition)
                                         ? "condition infinite"
                                         : "condition about " + scientific(analysis.dCondition);
    if (analysis.bFewerPointsThanCoefficients)
        return strCannot + std::to_string(analysis.nDistinctPoints) + " distinct points for " +
               std::to_string((int64_t{nDegree} + 1) * (nDegree + 1)) + " coefficients (" + strCondition +
               ")";
    if (analysis.bIllConditioned)
        return strCannot + "the least squares are ill-conditioned (" + strCondition +
               (analysis.bConverged ? "" : ", not converged") +
               "): a hole in the coverage, points on a few rings, or weights far apart?";
    return "";
}

int32_t DefaultPointDegree(const std::vector<SamplePoint>& aPoints, unsigned nThreads)
{
    CheckPoints(aPoints);
    const std::vector<SamplePoint> aScaled = ScaledPoints(aPoints, ScalesOf(aPoints));
    const double dDistinct = static_cast<double>(CountDistinctPoints(aPoints));
    int32_t L =
        std::min<int32_t>(kMaxDegree, static_cast<int32_t>(std::sqrt(dDistinct / kPointsPerCoefficient)) - 1);
    while (L > 0)
    {
        CheckPointFitMemory(aPoints.size(), L, nThreads);
        const CPointSystem system(aScaled, L, ThreadsFor(nThreads));
        if (ProbeCondition(system, OwnCount(L)) <= kIllConditioned)
            break;
        L = std::min(L - 1, L * 3 / 4);
    }
    return std::max(L, 0);
}

PointAnalysis AnalyzePoints(const std::vector<SamplePoint>& aPoints, int32_t nMaxDegree,
                            const Convention& convention, unsigned nThreads)
{
    CheckPoints(aPoints);
    CheckPointFitMemory(aPoints.size(), nMaxDegree, nThreads);
    const PointScales scales = ScalesOf(aPoints);
    const CPointSystem system(ScaledPoints(aPoints, scales), nMaxDegree, ThreadsFor(nThreads));
    std::vector<double> b(aPoints.size());
    for (size_t p = 0; p < aPoints.size(); ++p)
        b[p] = std::sqrt(std::ldexp(aPoints[p].dWeight, -scales.nWeight)) *
               std::ldexp(aPoints[p].dValue, -scales.nValue);

    // CGLS from x = 0: r = b - A x, s = A^T r, p the search direction.
    PointAnalysis result;
    std::vector<double> x(OwnCount(nMaxDegree)), r = b, s, q;
    system.ApplyAdjoint(r, s);
    std::vector<double> p = s;
    double dGamma = SquaredNorm(s);
    const double dStop = kTolerance * kTolerance * dGamma;
    std::vector<double> aAlpha, aBeta;
    while (dGamma > dStop && result.nIterations < kMaxIterations)
    {
        system.Apply(p, q);
        const double dAlpha = dGamma / SquaredNorm(q);
        for (size_t k = 0; k < x.size(); ++k)
            x[k] += dAlpha * p[k];
        for (size_t k = 0; k < r.size(); ++k)
            r[k] -= dAlpha * q[k];
        system.ApplyAdjoint(r, s);
        const double dNext = SquaredNorm(s), dBeta = dNext / dGamma;
        for (size_t k = 0; k < p.size(); ++k)
            p[k] = s[k] + dBeta * p[k];
        aAlpha.push_back(dAlpha);
        aBeta.push_back(dBeta);
        dGamma = dNext;
        ++result.nIterations;
    }
    result.bConverged = dGamma <= dStop;
    result.nDistinctPoints = CountDistinctPoints(aPoints);
    result.bFewerPointsThanCoefficients = result.nDistinctPoints < x.size();
    result.dCondition = result.bFewerPointsThanCoefficients
                            ? HUGE_VAL
                            : std::max(ConditionEstimate(aAlpha, aBeta), ProbeCondition(system, x.size()));
    result.bIllConditioned = !result.bConverged || result.dCondition > kIllConditioned;

    // The residual afresh, not as the iteration carried it.
    system.Apply(x, q);
    double dResidual = 0.0;
    for (size_t k = 0; k < b.size(); ++k)
        dResidual += (b[k] - q[k]) * (b[k] - q[k]);
    const double dNorm = SquaredNorm(b);
    result.dRelativeResidual = dNorm > 0.0 ? std::sqrt(dResidual / dNorm) : 0.0;
    for (double& d : x)
        d = std::ldexp(d, scales.nValue);
    if (!std::all_of(x.begin(), x.end(), [](double d) { return std::isfinite(d); }))
        throw std::runtime_error("the fit of degree " + std::to_string(nMaxDegree) +
                                 " has a coefficient beyond the double range");
    result.field = FieldFromOwn(x, nMaxDegree, convention);
    return result;
}
